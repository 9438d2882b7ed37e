// The comparison's reading analysis on the sample course's first lesson:
//   - time: a take of 2, 5 and 10 s against a part of the lesson recording as
//     long (both decoded, analysed and scored, nothing cached), 15 runs each;
//   - redraw: the comparison view with two 10 s readings painted at 1000 x 150
//     pixels, its width changing by a pixel before each paint, 50 paints;
//   - calibration: the scores of each of the lesson's sentences against takes
//     made from it (identical, slower, faster, through a small room into a
//     microphone, another voice, a female voice, 12 dB quieter), against the
//     next sentence in the same voice, and against silence and noise.
// Takes are made while it runs with espeak-ng and sox. With BENCH_DETAIL set
// in the environment each calibration score is printed too.
//
//   bench_reading_analysis [course volume folder]

#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/ReadingAnalyser.h"
#include "shell/window/ComparisonView.h"
#include "WavFiles.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kTimingRuns = 15;
constexpr int kPaints = 50;
const double kTakeSeconds[] = {2, 5, 10};
// A learner starts speaking a moment after pressing Record.
constexpr double kTakeLeadSeconds = 0.5;

struct Lesson {
    QString recording;
    std::vector<double> starts;  // one per sentence, then the recording's end
    QStringList sentences;
};

double milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

void printFigures(const char* what, std::vector<double> values, const char* unit)
{
    std::sort(values.begin(), values.end());
    std::printf("%s: median %.1f %s, worst %.1f %s\n", what, values[values.size() / 2], unit, values.back(), unit);
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool ok = process.waitForFinished(60000) && process.exitCode() == 0;
    if (!ok)
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAll().constData());
    return ok;
}

// Lesson 1 of the volume: its recording, the sentence starts from its timing
// file, and its English sentences (plain ASCII lines "1. ...").
Lesson firstLesson(const QString& volume)
{
    Lesson lesson;
    lesson.recording = volume + "/tlx1001.mp3";
    QFile timing(volume + "/tlx1001.lrc");
    if (timing.open(QIODevice::ReadOnly)) {
        const QRegularExpression stamp(R"(^\[(\d+):(\d+(?:\.\d+)?)\])");
        for (const QByteArray& line : timing.readAll().split('\n')) {
            const auto match = stamp.match(QString::fromLatin1(line));
            if (match.hasMatch())
                lesson.starts.push_back(match.captured(1).toDouble() * 60 + match.captured(2).toDouble());
        }
    }
    QFile text(volume + "/lesson.txt");
    if (text.open(QIODevice::ReadOnly)) {
        const QRegularExpression english(R"(^\d+\. (.*)$)");
        for (const QByteArray& line : text.readAll().split('\n')) {
            if (line.startsWith('$') && !lesson.sentences.isEmpty())
                break;
            const auto match = english.match(QString::fromLatin1(line).trimmed());
            if (match.hasMatch())
                lesson.sentences << match.captured(1);
        }
    }
    lesson.starts.push_back(decodeAudio(lesson.recording).seconds());
    return lesson;
}

void timeAnalysis(const Lesson& lesson, const QTemporaryDir& dir)
{
    const QString spoken = dir.filePath("lesson-us.wav");
    if (!run("espeak-ng", {"-v", "en-us", "-s", "150", "-w", spoken, lesson.sentences.join(" ")}))
        return;
    for (double seconds : kTakeSeconds) {
        const QString take = dir.filePath(QString("take-%1.wav").arg(seconds));
        run("sox", {"-D", spoken, "-r", "16000", take, "trim", "0", QString::number(seconds), "pad",
                    QString::number(kTakeLeadSeconds), "0"});
        const SoundPart part{lesson.recording, lesson.starts[0], lesson.starts[0] + seconds};
        std::vector<double> times;
        for (int i = 0; i < kTimingRuns; ++i) {
            const auto begin = Clock::now();
            const AnalysedReading recording = analyseReading(part);
            const AnalysedReading reading = analyseReading({take});
            const ReadingScore score = scoreReading(*recording.profile, *reading.profile);
            times.push_back(milliseconds(Clock::now() - begin));
            if (i == 0 && !score.scored)
                std::fprintf(stderr, "%g s take not scored: %s\n", seconds, qPrintable(recording.error + reading.error));
        }
        const QByteArray what = QString("analysis of a %1 s take against %1 s of the recording").arg(seconds).toUtf8();
        printFigures(what.constData(), times, "ms");
    }
}

void timeRedraw(const Lesson& lesson)
{
    const SoundPart part{lesson.recording, lesson.starts[0], lesson.starts[0] + 10};
    ComparisonView view;
    view.setReading(ComparisonView::RecordingRow, analyseReading(part).profile);
    view.setReading(ComparisonView::TakeRow, analyseReading(part).profile);
    view.setPlayPosition(ComparisonView::TakeRow, 4.0);
    std::vector<double> times;
    QImage image(1001, 150, QImage::Format_RGB32);
    // The first paint loads the fonts, once per program.
    view.resize(1000, 150);
    view.render(&image);
    for (int i = 1; i <= kPaints; ++i) {
        const auto begin = Clock::now();
        view.resize(1000 + i % 2, 150);
        view.render(&image);
        times.push_back(milliseconds(Clock::now() - begin));
    }
    printFigures("view redraw after a resize, two 10 s readings at 1000 x 150", times, "ms");
}

// ----- Calibration -----

struct Case {
    const char* name;
    // Makes the take for sentence n into `take`; false when it cannot.
    std::function<bool(int n, const QString& take)> make;
    // The sentence the take is scored against, if not n.
    int againstNext = 0;
};

void calibrate(const Lesson& lesson, const QTemporaryDir& dir)
{
    const int count = int(lesson.sentences.size());
    const auto sentence = [&](int n) { return SoundPart{lesson.recording, lesson.starts[n], lesson.starts[n + 1]}; };
    const auto identical = [&](int n) { return dir.filePath(QString("identical-%1.wav").arg(n)); };
    const auto voice = [&](int n, const char* name) { return dir.filePath(QString("%1-%2.wav").arg(name).arg(n)); };
    for (int n = 0; n < count; ++n) {
        writeMonoWav(identical(n), decodeAudio(sentence(n).file, sentence(n).start, sentence(n).end).samples,
                     kAnalysisRate);
        for (const char* name : {"en-us", "en+f3"})
            run("espeak-ng", {"-v", name, "-s", "150", "-w", voice(n, name), lesson.sentences[n]});
    }
    const QString noise = dir.filePath("room-noise.wav");
    run("sox", {"-D", "-n", "-r", "16000", "-c", "1", "-b", "16", noise, "synth", "30", "whitenoise", "vol", "0.003"});
    const auto sox = [](const QString& from, const QString& to, const QStringList& effects) {
        return run("sox", QStringList{"-D", from, "-r", "16000", to} + effects);
    };
    const Case cases[] = {
        {"identical", [&](int n, const QString& t) { return QFile::copy(identical(n), t); }},
        {"0.8x slower, pitch kept", [&](int n, const QString& t) { return sox(identical(n), t, {"tempo", "0.8"}); }},
        {"1.25x faster, pitch kept", [&](int n, const QString& t) { return sox(identical(n), t, {"tempo", "1.25"}); }},
        {"played into a microphone in a small room",
         [&](int n, const QString& t) {
             const QString dry = t + ".dry.wav";
             return sox(identical(n), dry,
                        {"pad", "0.6", "0.5", "highpass", "120", "lowpass", "6000", "reverb", "30", "50", "30", "vol",
                         "0.5"})
                    && run("sox", {"-D", "-m", dry, noise, t, "trim", "0", QString::number(decodeAudio(dry).seconds())});
         }},
        {"another voice (en-us)", [&](int n, const QString& t) { return QFile::copy(voice(n, "en-us"), t); }},
        {"another voice (en-us), 12 dB quieter",
         [&](int n, const QString& t) { return sox(voice(n, "en-us"), t, {"vol", "-12dB"}); }},
        {"a female voice (en+f3)", [&](int n, const QString& t) { return QFile::copy(voice(n, "en+f3"), t); }},
        {"a female voice (en+f3), 12 dB quieter",
         [&](int n, const QString& t) { return sox(voice(n, "en+f3"), t, {"vol", "-12dB"}); }},
        {"the next sentence, the same voice", [&](int n, const QString& t) { return QFile::copy(identical(n), t); }, 1},
        {"silence", [&](int, const QString& t) { return run("sox", {"-D", "-n", "-r", "16000", "-c", "1", "-b", "16", t, "trim", "0", "2"}); }},
        {"room noise only", [&](int, const QString& t) { return sox(noise, t, {"trim", "0", "2"}); }},
    };
    std::printf("calibration over the %d sentences of lesson 1 (similarity, intonation: min / median / max):\n", count);
    int made = 0;
    for (const Case& c : cases) {
        std::vector<int> similarity, intonation;
        std::vector<double> distance;
        int unscored = 0;
        for (int n = 0; n < count; ++n) {
            const QString take = dir.filePath(QString("case-%1.wav").arg(made++));
            if (!c.make(n, take))
                continue;
            const AnalysedReading reading = analyseReading({take});
            const AnalysedReading recording = analyseReading(sentence((n + c.againstNext) % count));
            const ReadingScore score = scoreReading(*recording.profile, *reading.profile);
            if (!score.scored) {
                ++unscored;
                continue;
            }
            if (qEnvironmentVariableIsSet("BENCH_DETAIL"))
                std::printf("  %s, sentence %d: similarity %d, intonation %d, distance %.2f, correlation %.3f\n",
                            c.name, n + 1, score.similarity, score.intonation, score.cepstralDistance,
                            score.pitchCorrelation);
            similarity.push_back(score.similarity);
            intonation.push_back(score.intonation);
            distance.push_back(score.cepstralDistance);
        }
        if (similarity.empty()) {
            std::printf("calibration: %-42s no score (no voice) for %d of %d\n", c.name, unscored, count);
            continue;
        }
        std::sort(similarity.begin(), similarity.end());
        std::sort(intonation.begin(), intonation.end());
        std::sort(distance.begin(), distance.end());
        const size_t mid = similarity.size() / 2;
        std::printf("calibration: %-42s similarity %3d / %3d / %3d   intonation %3d / %3d / %3d   distance %.2f-%.2f%s\n",
                    c.name, similarity.front(), similarity[mid], similarity.back(), intonation.front(),
                    intonation[mid], intonation.back(), distance.front(), distance.back(),
                    unscored ? qPrintable(QString("   (%1 unscored)").arg(unscored)) : "");
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString volume = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(LEXBAY_BENCH_VOLUME);
    const Lesson lesson = firstLesson(volume);
    if (lesson.sentences.isEmpty() || lesson.starts.size() != size_t(lesson.sentences.size()) + 1) {
        std::fprintf(stderr, "no lesson 1 with matching timing in %s\n", qPrintable(volume));
        return 1;
    }
    QTemporaryDir dir;
    timeAnalysis(lesson, dir);
    timeRedraw(lesson);
    calibrate(lesson, dir);
    return 0;
}
