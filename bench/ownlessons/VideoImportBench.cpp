// The import of a 45-minute episode with its subtitles, as a learner runs it
// (the staged program, `--import`, no display): an MP4 made once from
// Debian's GStreamer test sources (videotestsrc, x264 with a keyframe every
// 4 s, 640×360 at 25 frames a second, 1.5 Mbit/s) and espeak-ng speech laid
// out to 45 minutes, as AAC at 48 kHz stereo; its SRT cues where the speech
// lies. Wall time, CPU time, peak memory and the load, and the sound track's
// conversion to MP3 alone, to show what the import's time goes to.
//
// The generated file names hold no space: gst-launch splits its description at them.
// BENCH_FOLDER=DIR holds the episode (default ~/.cache/lexbay-bench), made
// again only when missing.

#include "BenchRecordings.h"
#include "WavFiles.h"

#include "platform/analysis/Mp3Encoding.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr double kMinutes = 45;
constexpr int kFramesPerSecond = 25;

QString clock(double seconds)
{
    const long ms = std::lround(std::max(0.0, seconds) * 1000);
    return QString("%1:%2:%3,%4")
        .arg(ms / 3600000, 2, 10, QChar('0'))
        .arg(ms / 60000 % 60, 2, 10, QChar('0'))
        .arg(ms / 1000 % 60, 2, 10, QChar('0'))
        .arg(ms % 1000, 3, 10, QChar('0'));
}

// One cue per sentence: from just before its speech to just after it.
QString writeSubtitles(const BenchRecording& recording, const QString& path)
{
    const QStringList sentences = QString::fromUtf8(readFile(recording.text)).split('\n', Qt::SkipEmptyParts);
    QByteArray srt;
    const size_t count = std::min(size_t(sentences.size()), recording.speechStart.size());
    for (size_t k = 0; k < count; ++k) {
        const double from = std::max(recording.speechEnd[k], recording.speechStart[k] - 0.1);
        const double to = k + 1 < count ? recording.speechEnd[k + 1] + 0.1 : recording.speechStart[k] + 3;
        srt += QString("%1\n%2 --> %3\n%4\n\n").arg(k + 1).arg(clock(from), clock(to), sentences.at(qsizetype(k))).toUtf8();
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(srt);
    return path;
}

bool makeEpisode(const QString& mp3, const QString& video)
{
    if (QFile::exists(video))
        return true;
    const QString partial = video + ".part";
    const int frames = int((kMinutes * 60 + 30) * kFramesPerSecond);
    const QString pipeline =
        QString("filesrc location=%1 ! decodebin ! audioconvert ! audioresample ! audio/x-raw,rate=48000,channels=2 ! "
                "avenc_aac bitrate=128000 ! aacparse ! mux. "
                "videotestsrc num-buffers=%2 pattern=ball ! video/x-raw,width=640,height=360,framerate=%3/1 ! "
                "x264enc key-int-max=%4 speed-preset=ultrafast bitrate=1500 ! h264parse ! mux. "
                "mp4mux name=mux ! filesink location=%5")
            .arg(mp3)
            .arg(frames)
            .arg(kFramesPerSecond)
            .arg(4 * kFramesPerSecond)
            .arg(partial);
    std::printf("making the episode (once) ...\n");
    std::fflush(stdout);
    return runProgram("gst-launch-1.0", QStringList{"-q"} + pipeline.split(' ', Qt::SkipEmptyParts))
           && QFile::rename(partial, video);
}

QString load()
{
    QFile file("/proc/loadavg");
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(' ', 0, 2) : "?";
}

int importEpisode(const QString& video, const QString& subtitles, const QString& folder)
{
    const QString data = QDir(folder).filePath("data-episode");
    QDir(data).removeRecursively();
    const QString messages = data + ".messages";
    const QString before = load();
    QElapsedTimer elapsed;
    elapsed.start();
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        setenv("XDG_DATA_HOME", data.toLocal8Bit().constData(), 1);
        unsetenv("DISPLAY");
        if (!std::freopen(messages.toLocal8Bit().constData(), "w", stderr) || !std::freopen("/dev/null", "w", stdout))
            _exit(126);
        const QByteArray program = LEXBAY_PROGRAM, v = video.toLocal8Bit(), s = subtitles.toLocal8Bit();
        execl(program.constData(), "Lexbay", "--import", "--volume", "bench", v.constData(), s.constData(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double wall = elapsed.elapsed() / 1000.0;
    const double cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                       + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::printf("the import failed (status %d): %s\n", status, readFile(messages).constData());
        return 1;
    }
    const int cues = int(readFile(data + "/Lexbay/books/bench/tlx1001.lrc").count('\n'));
    std::printf("video import of a %.0f min episode (%d cues): %.1f s, CPU %.1f s, peak memory %ld MB, load %s before, "
                "%s after\n",
                kMinutes, cues, wall, cpu, usage.ru_maxrss / 1024, qPrintable(before), qPrintable(load()));
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = qEnvironmentVariable("BENCH_FOLDER", QDir::homePath() + "/.cache/lexbay-bench");
    QDir().mkpath(folder);
    Layout layout;
    layout.minutes = kMinutes;
    layout.seed = 9;
    const BenchRecording speech =
        layOut("episode-speech", espeakSentences(proseSentences(120, 29), {"en-us", "en-gb", "en+m3", "en+f2"},
                                                 folder, 31),
               layout, folder);
    const QString video = QDir(folder).filePath("episode-45min.mp4");
    const QString subtitles = writeSubtitles(speech, QDir(folder).filePath("episode-45min.srt"));
    if (subtitles.isEmpty() || !makeEpisode(speech.mp3, video)) {
        std::printf("could not make the episode in %s\n", qPrintable(folder));
        return 1;
    }
    std::printf("episode: %.0f MB\n", QFileInfo(video).size() / 1e6);
    if (int failed = importEpisode(video, subtitles, folder))
        return failed;

    // The conversion alone, in this process, for the share of the import it takes.
    QTemporaryDir out;
    QElapsedTimer elapsed;
    elapsed.start();
    const QString error = encodeMp3(video, out.filePath("sound.mp3"), 600);
    std::printf("sound track to MP3 alone: %.1f s%s (load %s)\n", elapsed.elapsed() / 1000.0,
                error.isEmpty() ? "" : qPrintable(" — " + error), qPrintable(load()));
    return 0;
}
