// The import of own lessons, judged on recordings the bench makes:
//   - espeak-ng sentences of random words in four voices, laid out to 10 and
//     60 minutes with pauses of 0.3–2.5 s and an unspoken intro: the time
//     and peak memory of the staged program's import, as a learner runs it;
//   - fast read prose by other synthesizers (festival, flite) with pauses of
//     0.2–1.3 s, and human readings from pocketsphinx's test data.
// For each: the starts outside the pause before their sentence, the
// sentences more than 0.3 s off and whether each was named as unsure, the
// named sentences that were in fact right, and — where the voice tells
// when each word begins — the error of the word starts the aligner found.
// Recordings marked "never seen" were not used while the aligner was made.
// And the boundary editor's snap on each: every start but the first moved
// 0.3 s into its sentence and snapped, against the start the import gave.

#include "BenchRecordings.h"
#include "WavFiles.h"

#include "boundaries/SilenceSnap.h"
#include "boundaries/StartRange.h"
#include "course/WordTimesFile.h"
#include "ownlessons/SentenceAligner.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>

namespace {

// BENCH_SEED=N makes other sentences and other pauses.
unsigned seed() { return unsigned(qEnvironmentVariableIntValue("BENCH_SEED")); }

QStringList randomWordSentences(int count)
{
    const QStringList words = QString("the a river city morning teacher garden window brother station market letter "
                                      "travels reads finds opens closes quickly slowly bright quiet old new small "
                                      "every after before under near across about story evening street music")
                                  .split(' ');
    std::mt19937 random(11 + seed());
    QStringList sentences;
    for (int i = 0; i < count; ++i) {
        QStringList chosen;
        const int length = 6 + int(random() % 8);
        for (int w = 0; w < length; ++w)
            chosen << words[int(random() % words.size())];
        QString text = chosen.join(' ') + ".";
        text[0] = text[0].toUpper();
        sentences << text;
    }
    return sentences;
}

struct Imported {
    bool ok = false;
    double seconds = 0, cpu = 0;
    long peakMegabytes = 0;
    std::vector<double> starts;
    QSet<int> unsure;  // sentences named, from 0
};

std::vector<double> startsOf(const QString& lrc)
{
    std::vector<double> starts;
    for (const QByteArray& line : readFile(lrc).split('\n'))
        if (line.size() >= 10)
            starts.push_back(line.mid(1, 2).toInt() * 60 + line.mid(4, 5).toDouble());
    return starts;
}

QSet<int> namedIn(const QString& messages)
{
    QSet<int> named;
    static const QRegularExpression unsure(QStringLiteral("第 (\\d+) 句的时间可能不准"));
    for (auto it = unsure.globalMatch(messages); it.hasNext();)
        named.insert(it.next().captured(1).toInt() - 1);
    return named;
}

// The staged program's import (`--import`, no display), as a learner runs it.
Imported importWithProgram(const BenchRecording& recording, const QString& folder)
{
    Imported imported;
    const QString data = QDir(folder).filePath("data-" + recording.name);
    const QString messages = data + ".messages";
    QDir(data).removeRecursively();
    QElapsedTimer clock;
    clock.start();
    const pid_t child = fork();
    if (child == 0) {
        setenv("XDG_DATA_HOME", data.toLocal8Bit().constData(), 1);
        unsetenv("DISPLAY");
        if (!std::freopen(messages.toLocal8Bit().constData(), "w", stderr))
            _exit(126);
        const QByteArray program = LEXBAY_PROGRAM, m = recording.mp3.toLocal8Bit(), t = recording.text.toLocal8Bit();
        execl(program.constData(), "Lexbay", "--import", "--volume", "bench", m.constData(), t.constData(), nullptr);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    imported.seconds = clock.elapsed() / 1000.0;
    imported.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    // On a shared machine the wall time waits for the others; the CPU time does not.
    imported.cpu = usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
                   + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    imported.peakMegabytes = usage.ru_maxrss / 1024;
    imported.starts = startsOf(data + "/Lexbay/books/bench/tlx1001.lrc");
    imported.unsure = namedIn(QString::fromUtf8(readFile(messages)));
    if (!imported.ok)
        std::printf("  the import failed (status %d): %s\n", status, readFile(messages).constData());
    return imported;
}

// Where a start may lie: after the previous sentence's speech, before its
// own, at most 0.5 s before it; how far outside that a start is.
double offBy(const BenchRecording& recording, size_t k, double start)
{
    const double from = std::max(recording.speechEnd[k], recording.speechStart[k] - 0.5);
    const double to = recording.speechStart[k];
    return start < from ? from - start : start > to ? start - to : 0;
}

void judgeStarts(const BenchRecording& recording, const std::vector<double>& starts, const QSet<int>& unsure)
{
    const bool detail = qEnvironmentVariableIsSet("BENCH_DETAIL");
    int outside = 0, gross = 0, grossNamed = 0, namedRight = 0;
    double worstBefore = 1e9, worstAfter = 1e9, worstLead = 0;
    const size_t count = std::min(starts.size(), recording.speechStart.size());
    for (size_t k = 0; k < count; ++k) {
        const double beforeSpeech = recording.speechStart[k] - starts[k];
        const double afterPrevious = starts[k] - recording.speechEnd[k];
        const double off = offBy(recording, k, starts[k]);
        const bool named = unsure.contains(int(k));
        outside += off > 0;
        gross += off > 0.3;
        grossNamed += off > 0.3 && named;
        namedRight += named && off == 0;
        worstBefore = std::min(worstBefore, beforeSpeech);
        worstAfter = std::min(worstAfter, afterPrevious);
        worstLead = std::max(worstLead, beforeSpeech);
        if (detail && (off > 0 || named))
            std::printf("  sentence %zu: start %.2f, its speech %.2f, previous speech ends %.2f%s\n", k + 1, starts[k],
                        recording.speechStart[k], recording.speechEnd[k], named ? " (named)" : "");
    }
    std::printf("  starts outside their silence: %d of %zu; smallest margin to the own speech %.0f ms, "
                "to the previous speech %.0f ms; longest lead-in %.0f ms\n",
                outside, count, worstBefore * 1000, worstAfter * 1000, worstLead * 1000);
    std::printf("  more than 0.3 s off: %d, of them named %d, not named %d\n", gross, grossNamed, gross - grossNamed);
    std::printf("  named as unsure: %d, of them right (start in its pause) %d\n", int(unsure.size()), namedRight);
}

// The word starts the aligner finds against the voice's own, on the same MP3.
void judgeWords(const BenchRecording& recording)
{
    const QStringList sentences = QString::fromUtf8(readFile(recording.text)).split('\n', Qt::SkipEmptyParts);
    const SentenceAlignment alignment = alignRecording(sentences, recording.mp3, 600);
    struct Miss {
        double error;  // found − known, seconds
        size_t sentence;
        qsizetype word;
        QString text;
    };
    std::vector<Miss> misses;
    std::vector<double> errors;
    double signedSum = 0;
    for (size_t k = 0; k < alignment.sentences.size() && k < recording.wordStarts.size(); ++k) {
        const WordTimes& found = alignment.sentences[k].words;
        const std::vector<double>& known = recording.wordStarts[k];
        if (found.size() != qsizetype(known.size()))
            continue;
        for (qsizetype w = 0; w < found.size(); ++w) {
            const double error = found[w].start - known[size_t(w)];
            errors.push_back(std::abs(error));
            signedSum += error;
            misses.push_back({error, k, w, sentences[qsizetype(k)].mid(found[w].from, found[w].length)});
        }
    }
    if (errors.empty()) {
        std::printf("  word starts: none to compare\n");
        return;
    }
    std::sort(errors.begin(), errors.end());
    double sum = 0;
    for (double e : errors)
        sum += e;
    const size_t within = size_t(std::upper_bound(errors.begin(), errors.end(), 0.05) - errors.begin());
    std::printf("  word starts (%zu words of verified sentences): mean error %.1f ms, worst %.0f ms, "
                "within 50 ms %.1f %%\n",
                errors.size(), 1000 * sum / double(errors.size()), 1000 * errors.back(),
                100.0 * double(within) / double(errors.size()));
    std::printf("  word starts: mean signed error (found − known) %+.1f ms\n",
                1000 * signedSum / double(errors.size()));
    // BENCH_DETAIL=1 lists the words more than 50 ms off, worst first.
    if (!qEnvironmentVariableIsSet("BENCH_DETAIL"))
        return;
    std::sort(misses.begin(), misses.end(),
              [](const Miss& a, const Miss& b) { return std::abs(a.error) > std::abs(b.error); });
    for (const Miss& miss : misses) {
        if (std::abs(miss.error) <= 0.05)
            break;
        std::printf("    %+4.0f ms  sentence %zu word %lld \"%s\" (%s)\n", 1000 * miss.error, miss.sentence + 1,
                    (long long)miss.word + 1, qPrintable(miss.text), qPrintable(sentences[qsizetype(miss.sentence)]));
    }
}

// Each start but the first moved 0.3 s into its sentence and snapped back:
// how far from the import's start it lands.
void judgeSnap(const BenchRecording& recording, const Imported& imported, const QString& folder)
{
    const WaveSummary summary = summariseRecording(recording.mp3);
    if (!summary.ok()) {
        std::printf("  snap: %s\n", qPrintable(summary.error));
        return;
    }
    const QString words = QDir(folder).filePath("data-" + recording.name + "/Lexbay/books/bench/tlx1001.wordtimes.tsv");
    const std::vector<double> firstWords = firstWordStarts(readFile(words), int(imported.starts.size()));
    std::vector<double> errors;
    int left = 0;
    for (size_t k = 1; k < imported.starts.size(); ++k) {
        const StartRange range = startRange(imported.starts, firstWords, summary.seconds(), int(k));
        const double moved = std::min(imported.starts[k] + 0.3, range.latest);
        const std::optional<double> snapped = snapToSilence(summary, moved, range);
        left += !snapped;
        errors.push_back(std::abs(snapped.value_or(moved) - imported.starts[k]));
        if (qEnvironmentVariableIsSet("BENCH_DETAIL") && errors.back() > 0.05)
            std::printf("    snap: sentence %zu starts %.2f (speech %.2f, previous speech ends %.2f), snapped to %.2f\n",
                        k + 1, imported.starts[k], k < recording.speechStart.size() ? recording.speechStart[k] : -1.0,
                        k < recording.speechEnd.size() ? recording.speechEnd[k] : -1.0, snapped.value_or(-1));
    }
    if (errors.empty())
        return;
    std::sort(errors.begin(), errors.end());
    const size_t within = size_t(std::upper_bound(errors.begin(), errors.end(), 0.05) - errors.begin());
    std::printf("  snap of a start moved 0.3 s in: within 50 ms of the import's start %.1f %% of %zu, median %.0f ms,"
                " worst %.0f ms, left where moved %d\n",
                100.0 * double(within) / double(errors.size()), errors.size(), 1000 * errors[errors.size() / 2],
                1000 * errors.back(), left);
}

void benchmark(const BenchRecording& recording, const QString& label, const QString& folder)
{
    const Imported imported = importWithProgram(recording, folder);
    if (!imported.ok)
        return;
    std::printf("import of %s (%zu sentences): %.1f s, peak memory %ld MB\n", qPrintable(label),
                imported.starts.size(), imported.seconds, imported.peakMegabytes);
    judgeStarts(recording, imported.starts, imported.unsure);
    judgeSnap(recording, imported, folder);
    if (!recording.wordStarts.empty() && !recording.wordStarts.front().empty())
        judgeWords(recording);
    std::printf("  CPU time of the import (user + system): %.1f s\n", imported.cpu);
    std::fflush(stdout);
}

const char* const kTestData = "/usr/share/pocketsphinx/test/data";

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // BENCH_FOLDER=DIR keeps the recordings there and reuses them on the next run.
    QTemporaryDir temporary;
    const QString folder = qEnvironmentVariable("BENCH_FOLDER", temporary.path());
    QDir().mkpath(folder);
    // BENCH_MINUTES=10 runs one length only; BENCH_DETAIL=1 names the starts outside and the named sentences.
    const double only = qEnvironmentVariable("BENCH_MINUTES").toDouble();
    const QString suffix = seed() ? QString("-seed%1").arg(seed()) : QString();

    const std::vector<BenchSentence> espeak =
        espeakSentences(randomWordSentences(60), {"en-gb", "en+m3", "en-gb-x-rp", "en+f2"}, folder, 11 + seed());
    // Two of them, not in the text, are said first.
    std::vector<BenchSentence> withIntro(espeak.end() - 2, espeak.end());
    withIntro.insert(withIntro.end(), espeak.begin(), espeak.end() - 2);
    // BENCH_RECORDINGS=human runs only the recordings whose names hold it (talk, festival, espeak, flite, human).
    const QString chosen = qEnvironmentVariable("BENCH_RECORDINGS");
    const auto wanted = [&](const QString& name) { return chosen.isEmpty() || name.contains(chosen); };
    for (double minutes : {10.0, 60.0}) {
        if ((only != 0 && only != minutes) || !wanted("talk"))
            continue;
        Layout layout;
        layout.introSentences = 2;
        layout.minutes = minutes;
        layout.seed = 5 + seed();
        benchmark(layOut(QString("talk%1%2").arg(minutes).arg(suffix), withIntro, layout, folder),
                  QString("a %1 min recording").arg(minutes), folder);
    }
    if (only != 0)
        return 0;

    // Fast read prose by other voices; pauses as a reader leaves them.
    const QStringList prose = proseSentences(100, 3 + seed());
    Layout fast;
    fast.pauseFrom = 0.2;
    fast.pauseTo = 1.3;
    fast.noiseDb = -45;
    fast.seed = 7 + seed();
    if (wanted("festival-kal"))
        benchmark(layOut("festival-kal" + suffix, festivalSentences(prose, "kal_diphone", 0.75, folder), fast, folder),
                  "fast prose read by festival (kal, 0.75 of its pace)", folder);
    if (wanted("espeak-prose"))
        benchmark(layOut("espeak-prose" + suffix, espeakSentences(prose, {"en-us", "en+m3"}, folder, 17), fast, folder),
                  "fast prose read by espeak-ng (en-us, en+m3)", folder);
    Layout human;
    human.pauseFrom = 0.4;
    human.pauseTo = 1.5;
    human.noiseDb = -60;
    if (wanted("human-book"))
        benchmark(layOut("human-book" + suffix, testDataReadings(QString(kTestData) + "/librivox"), human, folder),
                  "a human book reading (pocketsphinx test data)", folder);

    // Never seen while the aligner was made.
    const QStringList otherProse = proseSentences(100, 101 + seed());
    if (wanted("festival-slt"))
        benchmark(layOut("festival-slt" + suffix,
                         festivalSentences(otherProse, "cmu_us_slt_arctic_hts", 0.8, folder), fast, folder),
                  "never seen: fast prose read by festival (slt, 0.8 of its pace)", folder);
    if (wanted("festival-ked"))
        benchmark(layOut("festival-ked" + suffix, festivalSentences(otherProse, "ked_diphone", 0.8, folder), fast, folder),
                  "never seen: fast prose read by festival (ked, 0.8 of its pace)", folder);
    if (wanted("flite-awb"))
        benchmark(layOut("flite-awb" + suffix, fliteSentences(otherProse, "awb", 0.7, folder), fast, folder),
                  "never seen: fast prose read by flite (awb, 0.7 of its pace)", folder);
    if (wanted("human-cards"))
        benchmark(layOut("human-cards" + suffix, testDataReadings(QString(kTestData) + "/cards"), human, folder),
                  "never seen: human readings of playing cards (pocketsphinx test data)", folder);
    return 0;
}
