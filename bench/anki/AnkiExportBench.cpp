// Exports a spoken 20-lesson volume (200 sentences) as an Anki package and
// prints how long that took and how large the package is; then the pictures
// of a video lesson: 100 sentences on a 1080p H.264 video with keyframes 4 s
// apart, the frames taken alone and the lesson exported with and without them.

#include "anki/AnkiPackage.h"
#include "anki/CourseSentences.h"
#include "platform/system/CourseNames.h"
#include "platform/video/FrameGrab.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <ctime>

namespace {

constexpr int kLessons = 20;
constexpr int kSentencesPerLesson = 10;
const QString kVolume = "Trellis英语第4册";
const QStringList kSentences{
    "Could you tell me the way to the museum?", "It is on the other side of the river.",
    "We usually have breakfast at seven.",      "My brother works in a small bookshop.",
    "The train was late again this morning.",   "Please close the window before you leave.",
    "She has lived here for ten years.",        "What would you like to drink?",
    "They are going to the seaside on Sunday.", "I have never seen such a tall building.",
};

constexpr int kVideoSentences = 100;
constexpr double kVideoSentenceSeconds = 3.0;
constexpr int kVideoFramesPerSecond = 25;
const QString kVideoVolume = "Trellis英语第5册";

bool makeVolume(const QString& books)
{
    const QString folder = books + "/" + kVolume;
    QDir().mkpath(folder);
    QByteArray lessons;
    for (int lesson = 1; lesson <= kLessons; ++lesson) {
        lessons += encodeCourseText(QString("$Lesson %1 练习\r\n").arg(lesson));
        for (int n = 0; n < kSentencesPerLesson; ++n) {
            const QString english = kSentences[(lesson + n) % kSentences.size()];
            lessons += encodeCourseText(QString("%1. %2\r\n第 %1 句。\r\n").arg(n + 1).arg(english));
        }
    }
    QFile file(folder + "/lesson.txt");
    if (!file.open(QIODevice::WriteOnly) || file.write(lessons) != lessons.size())
        return false;
    file.close();
    QProcess make;
    make.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    make.start(LEXBAY_MAKE_COURSE, {books});
    return make.waitForFinished(-1) && make.exitCode() == 0;
}

bool runGst(const QStringList& arguments)
{
    QProcess gst;
    gst.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gst.start("gst-launch-1.0", QStringList{"-q"} + arguments);
    return gst.waitForFinished(-1) && gst.exitCode() == 0;
}

// The 1080p video (moving colour bars, H.264 at 5 Mbit/s, a keyframe every
// 4 s, AAC sound), made once and kept in the build folder's cache: making it
// takes minutes on a loaded machine.
QString cachedVideo()
{
    const QString path = QString(LEXBAY_BENCH_CACHE) + "/anki-1080p-h264-keyframes-4s.mp4";
    if (QFileInfo(path).size() > 0)
        return path;
    QDir().mkpath(LEXBAY_BENCH_CACHE);
    const int frames = int(kVideoSentences * kVideoSentenceSeconds * kVideoFramesPerSecond);
    const int soundBuffers = int(kVideoSentences * kVideoSentenceSeconds * 44100 / 1024) + 1;
    const QString making = path + ".making";
    std::printf("making the 1080p video (cached in %s) ...\n", LEXBAY_BENCH_CACHE);
    std::fflush(stdout);
    const bool made = runGst(
        {"videotestsrc", QString("num-buffers=%1").arg(frames), "pattern=smpte", "horizontal-speed=3", "!",
         QString("video/x-raw,format=I420,width=1920,height=1080,framerate=%1/1").arg(kVideoFramesPerSecond), "!",
         "x264enc", "speed-preset=superfast", "bitrate=5000",
         QString("key-int-max=%1").arg(4 * kVideoFramesPerSecond), "!", "h264parse", "!", "mp4mux", "name=m", "!",
         "filesink", "location=" + making, "audiotestsrc", QString("num-buffers=%1").arg(soundBuffers), "!",
         "audioconvert", "!", "avenc_aac", "!", "m."});
    return made && QFile::rename(making, path) ? path : QString();
}

// An own volume with one lesson of kVideoSentences sentences over the video,
// its recording a tone as long as the video.
bool makeVideoVolume(const QString& ownBooks, const QString& video)
{
    const QString folder = ownBooks + "/" + kVideoVolume;
    QDir().mkpath(folder);
    QByteArray lessons = encodeCourseText("$Lesson 1 视频\r\n");
    QByteArray timing;
    for (int n = 0; n < kVideoSentences; ++n) {
        const QString english = kSentences[n % kSentences.size()];
        lessons += encodeCourseText(QString("%1. %2\r\n第 %1 句。\r\n").arg(n + 1).arg(english));
        const double start = n * kVideoSentenceSeconds + 0.2;
        timing += QString("[%1:%2]%3\r\n")
                      .arg(int(start) / 60, 2, 10, QChar('0'))
                      .arg(std::fmod(start, 60.0), 5, 'f', 2, QChar('0'))
                      .arg(n + 1)
                      .toLatin1();
    }
    const QString base = folder + "/" + lessonFileBase(kVideoVolume, 1);
    const int soundBuffers = int(kVideoSentences * kVideoSentenceSeconds * 44100 / 1024) + 1;
    QFile text(folder + "/lesson.txt"), lrc(base + ".lrc"), reference(base + ".video.txt");
    return text.open(QIODevice::WriteOnly) && text.write(lessons) == lessons.size() &&
           lrc.open(QIODevice::WriteOnly) && lrc.write(timing) == timing.size() &&
           reference.open(QIODevice::WriteOnly) && reference.write(video.toUtf8()) > 0 &&
           runGst({"audiotestsrc", QString("num-buffers=%1").arg(soundBuffers), "!", "audioconvert", "!",
                   "lamemp3enc", "!", "filesink", "location=" + base + ".mp3"});
}

// The frames alone: the video opened once, one frame from each sentence's
// middle, in order.
bool frameFigures(const QList<ExportSentence>& sentences)
{
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpuStart = std::clock();
    FrameGrab grab(sentences.first().video);
    qint64 bytes = 0;
    for (const ExportSentence& sentence : sentences) {
        const double end = sentence.end < 0 ? grab.duration() : sentence.end;
        const QByteArray jpeg = grab.frameAt((sentence.start + end) / 2);
        if (jpeg.isEmpty()) {
            std::fprintf(stderr, "bench_anki_export: %s\n", qPrintable(grab.error()));
            return false;
        }
        bytes += jpeg.size();
    }
    const double seconds = timer.elapsed() / 1000.0;
    std::printf("video frames: %d frames of 1080p H.264 (keyframes 4 s apart) in %.2f s (%.1f ms per frame), "
                "CPU %.2f s, %.0f kB per picture\n",
                int(sentences.size()), seconds, 1000 * seconds / sentences.size(),
                double(std::clock() - cpuStart) / CLOCKS_PER_SEC, bytes / 1000.0 / sentences.size());
    return true;
}

double exportSeconds(const QList<ExportSentence>& sentences, const QString& package)
{
    QElapsedTimer timer;
    timer.start();
    const AnkiExportResult result = exportAnkiPackage(sentences, package);
    if (!result.ok()) {
        std::fprintf(stderr, "bench_anki_export: %s\n", qPrintable(result.error));
        return -1;
    }
    return timer.elapsed() / 1000.0;
}

bool videoLessonFigures(CourseLibrary& library, const QString& work)
{
    const QString video = cachedVideo();
    const QString ownBooks = work + "/own";
    if (video.isEmpty() || !makeVideoVolume(ownBooks, video)) {
        std::fprintf(stderr, "bench_anki_export: the video lesson could not be made\n");
        return false;
    }
    const LessonSentences lesson = lessonSentences(library, findVolume(kVideoVolume, {QString(), ownBooks}), 0);
    if (!lesson.error.isEmpty() || lesson.sentences.isEmpty() || lesson.sentences.first().video.isEmpty()) {
        std::fprintf(stderr, "bench_anki_export: the video lesson does not read: %s\n", qPrintable(lesson.error));
        return false;
    }
    if (!frameFigures(lesson.sentences))
        return false;
    QList<ExportSentence> asAudio = lesson.sentences;
    for (ExportSentence& sentence : asAudio)
        sentence.video.clear();
    const double withPictures = exportSeconds(lesson.sentences, work + "/video.apkg");
    const double audioOnly = exportSeconds(asAudio, work + "/audio.apkg");
    if (withPictures < 0 || audioOnly < 0)
        return false;
    std::printf("video lesson exported: %d sentences with pictures in %.2f s, as audio notes in %.2f s "
                "(pictures add %.1f ms per sentence)\n",
                int(lesson.sentences.size()), withPictures, audioOnly,
                1000 * (withPictures - audioOnly) / lesson.sentences.size());
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString books = work.filePath("books");
    QElapsedTimer making;
    making.start();
    if (!makeVolume(books)) {
        std::fprintf(stderr, "bench_anki_export: the volume could not be made\n");
        return 1;
    }
    std::printf("volume made (espeak-ng, sox, lame) in %.1f s\n", making.elapsed() / 1000.0);

    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const CourseVolume volume = findVolume(kVolume, {books});
    QElapsedTimer timer;
    timer.start();
    // Process CPU time, the decoder's threads included: on a shared machine
    // the wall time says as much about the others as about the export.
    const std::clock_t cpuStart = std::clock();
    QList<ExportSentence> sentences;
    for (int lesson = 0; lesson < lessonTitles(library, volume).size(); ++lesson)
        sentences << lessonSentences(library, volume, lesson).sentences;
    const qint64 readMs = timer.elapsed();
    const QString package = work.filePath("volume.apkg");
    const AnkiExportResult result = exportAnkiPackage(sentences, package);
    const qint64 totalMs = timer.elapsed();
    const double cpuSeconds = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    if (!result.ok()) {
        std::fprintf(stderr, "bench_anki_export: %s\n", qPrintable(result.error));
        return 1;
    }
    std::printf("sentences read: %d in %lld ms\n", int(sentences.size()), readMs);
    std::printf("volume exported: %d lessons, %d sentences in %.2f s (%.1f ms per sentence)\n", kLessons, result.notes,
                totalMs / 1000.0, double(totalMs) / result.notes);
    std::printf("CPU time of the export: %.2f s\n", cpuSeconds);
    std::printf("package size: %.2f MB\n", QFileInfo(package).size() / 1e6);
    return videoLessonFigures(library, work.path()) ? 0 : 1;
}
