// The import's conversion of a recording that is not an MP3: ten minutes of
// the sample course's first lesson, laid end to end, as a 16 kHz mono WAV
// (a voice recorder's) and a 44.1 kHz stereo WAV (a CD's or a video's),
// each converted three times; the median time, how many times faster than
// real time it is, and the median CPU time the process spent on it (all its
// threads: the decoder's and the encoder's), which the machine's load
// changes less.
//
//   bench_mp3_encoding [lesson recording]

#include "WavFiles.h"

#include "platform/analysis/Mp3Encoding.h"
#include "platform/analysis/WholeRecording.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

constexpr double kMinutes = 10;
constexpr int kRuns = 3;

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Source {
    const char* name;
    int rate;
    int channels;
};

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString lesson = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(LEXBAY_BENCH_RECORDING);
    QTemporaryDir dir;
    const Source sources[] = {{"16 kHz mono", 16000, 1}, {"44.1 kHz stereo", 44100, 2}};
    for (const Source& source : sources) {
        const WholeRecording recording = decodeWholeRecording(lesson, source.rate);
        if (!recording.ok() || recording.samples.empty()) {
            std::fprintf(stderr, "%s\n", qPrintable(recording.error));
            return 1;
        }
        std::vector<float> laid;
        while (laid.size() < std::size_t(kMinutes * 60 * source.rate))
            laid.insert(laid.end(), recording.samples.begin(), recording.samples.end());
        laid.resize(std::size_t(kMinutes * 60 * source.rate));
        const QString mono = dir.filePath("mono.wav");
        const QString wav = dir.filePath(QString("%1.wav").arg(source.rate));
        writeMonoWav(source.channels == 1 ? wav : mono, laid, source.rate);
        if (source.channels == 2) {
            QProcess sox;
            sox.start("sox", {mono, wav, "channels", "2"});
            if (!sox.waitForFinished(-1) || sox.exitCode() != 0) {
                std::fprintf(stderr, "sox failed\n");
                return 1;
            }
        }
        std::vector<double> seconds;
        std::vector<double> cpu;
        for (int run = 0; run < kRuns; ++run) {
            QElapsedTimer clock;
            clock.start();
            const double cpuBefore = cpuSeconds();
            const QString error = encodeMp3(wav, dir.filePath("out.mp3"), 600);
            cpu.push_back(cpuSeconds() - cpuBefore);
            seconds.push_back(clock.nsecsElapsed() / 1e9);
            if (!error.isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
        }
        const double time = median(seconds);
        std::printf("conversion of %g min %s to MP3: median %.2f s (%.0f x real time), CPU %.2f s\n", kMinutes,
                    source.name, time, kMinutes * 60 / time, median(cpu));
    }
    return 0;
}
