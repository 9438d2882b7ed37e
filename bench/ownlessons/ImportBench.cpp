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
#include "ImportJudges.h"
#include "WavFiles.h"

#include "boundaries/SilenceSnap.h"
#include "boundaries/StartRange.h"
#include "course/WordTimesFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

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

// Each start but the first moved 0.3 s into its sentence and snapped back:
// how far from the import's start it lands.
void judgeSnap(const BenchRecording& recording, const Imported& imported)
{
    const WaveSummary summary = summariseRecording(recording.mp3);
    if (!summary.ok()) {
        std::printf("  snap: %s\n", qPrintable(summary.error));
        return;
    }
    const std::vector<double> firstWords = firstWordStarts(readFile(imported.wordTimes), int(imported.starts.size()));
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
    judgeStarts(recording, imported);
    judgeSnap(recording, imported);
    judgeWords(recording, imported);
    std::printf("  CPU time of the import (user + system): %.1f s\n", imported.cpu);
    std::fflush(stdout);
}

const char* const kTestData = "/usr/share/pocketsphinx/test/data";

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temporary;
    const QString folder = benchFolder(temporary.path());
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
