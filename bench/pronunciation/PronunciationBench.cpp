// Pronunciation scoring on Debian's human test recordings (a man reading
// sentences of a public-domain novel, with their transcripts):
//   - time: takes of 2, 5 and 10 s cut from the readings, scored against
//     their words, 9 runs each (the model loaded before);
//   - memory: the process's resident memory before and after loading the
//     model;
//   - calibration: each reading against its own sentence and against the
//     next reading's sentence: 发音, 完整度 and the poorest word.
//
//   bench_pronunciation [folder of readings with a "transcription" file]

#include "platform/analysis/AudioDecoding.h"
#include "platform/pronunciation/PronunciationScore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTextStream>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kTimingRuns = 5;

struct Reading {
    QString file;
    QString text;
    std::vector<float> samples;
};

// "<s> words </s> (file id)" per line.
std::vector<Reading> readReadings(const QString& folder)
{
    std::vector<Reading> readings;
    QFile transcription(folder + "/transcription");
    if (!transcription.open(QIODevice::ReadOnly))
        return readings;
    static const QRegularExpression line(QStringLiteral("^<s>(.*)</s>\\s*\\((.*)\\)"));
    QTextStream in(&transcription);
    while (!in.atEnd()) {
        const QRegularExpressionMatch match = line.match(in.readLine());
        if (!match.hasMatch())
            continue;
        Reading reading{folder + "/" + match.captured(2) + ".wav", match.captured(1).simplified(), {}};
        reading.samples = decodeAudio(reading.file).samples;
        readings.push_back(reading);
    }
    return readings;
}

long residentKilobytes()
{
    QFile status("/proc/self/status");
    status.open(QIODevice::ReadOnly);
    static const QRegularExpression rss(QStringLiteral("VmRSS:\\s*(\\d+)"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toLong();
}

// The words whose frames fall inside the first `seconds` of the reading, as
// the grammar decoding of the whole reading placed them.
QString wordsWithin(const Reading& reading, double seconds)
{
    const PronunciationScore whole = scorePronunciationOfSamples(reading.samples, reading.text);
    QStringList words;
    for (const WordPronunciation& word : whole.words) {
        if (word.endFrame >= 0 && word.endFrame < seconds * 100)
            words << word.word;
    }
    return words.join(' ');
}

void timeTakes(const std::vector<Reading>& readings)
{
    for (double seconds : {2.0, 5.0, 10.0}) {
        // The 10 s take joins two readings.
        Reading take = readings[0];
        if (seconds > take.samples.size() / double(kAnalysisRate)) {
            take.samples.insert(take.samples.end(), readings[3].samples.begin(), readings[3].samples.end());
            take.text += " " + readings[3].text;
        }
        take.text = wordsWithin(take, seconds);
        std::printf("take of %g s: %s\n", seconds, qPrintable(take.text));
        take.samples.resize(size_t(seconds * kAnalysisRate));
        std::vector<double> ms;
        for (int run = 0; run < kTimingRuns; ++run) {
            const auto start = Clock::now();
            scorePronunciationOfSamples(take.samples, take.text);
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        }
        std::sort(ms.begin(), ms.end());
        std::printf("pronunciation of a %g s take: median %.1f ms, worst %.1f ms\n", seconds, ms[ms.size() / 2],
                    ms.back());
    }
}

void printScore(const Reading& reading, const QString& sentence, const char* against)
{
    const PronunciationScore score = scorePronunciationOfSamples(reading.samples, sentence);
    std::printf("calibration: %-45s %-14s 发音 %3d  完整度 %3d%%  poorest %s\n",
                qPrintable(QFileInfo(reading.file).completeBaseName()), against, score.pronunciation,
                score.completeness, qPrintable(score.poorestWord));
    if (qEnvironmentVariableIsSet("BENCH_DETAIL")) {
        for (const WordPronunciation& word : score.words)
            std::printf("    %-12s %9.1f %d\n", qPrintable(word.word), word.goodness, int(word.quality));
    }
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString folder = argc > 1 ? argv[1] : LEXBAY_HUMAN_READINGS;
    const std::vector<Reading> readings = readReadings(folder);
    if (readings.size() < 4) {
        std::fprintf(stderr, "bench_pronunciation: no readings with transcripts in %s\n", qPrintable(folder));
        return 1;
    }
    const long before = residentKilobytes();
    const auto start = Clock::now();
    if (!pronunciationScoringAvailable()) {
        std::fprintf(stderr, "bench_pronunciation: %s\n", qPrintable(pronunciationUnavailableReason()));
        return 1;
    }
    std::printf("acoustic model: loaded in %.0f ms, resident memory +%ld MB\n",
                std::chrono::duration<double, std::milli>(Clock::now() - start).count(),
                (residentKilobytes() - before) / 1024);
    timeTakes(readings);
    for (size_t i = 0; i < readings.size(); ++i) {
        printScore(readings[i], readings[i].text, "own sentence");
        printScore(readings[i], readings[(i + 1) % readings.size()].text, "next sentence");
    }
    return 0;
}
