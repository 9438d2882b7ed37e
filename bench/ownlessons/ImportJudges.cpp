#include "ImportJudges.h"

#include "WavFiles.h"

#include "course/WordTimesFile.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>

#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

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

// Where a start may lie: after the previous sentence's speech, before its
// own, at most 0.5 s before it; how far outside that a start is.
double offBy(const BenchRecording& recording, size_t k, double start)
{
    const double from = std::max(recording.speechEnd[k], recording.speechStart[k] - 0.5);
    const double to = recording.speechStart[k];
    return start < from ? from - start : start > to ? start - to : 0;
}

}  // namespace

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
    imported.wordTimes = data + "/Lexbay/books/bench/tlx1001" + kWordTimesExtension;
    if (!imported.ok)
        std::printf("  the import failed (status %d): %s\n", status, readFile(messages).constData());
    return imported;
}

StartsVerdict judgeStarts(const BenchRecording& recording, const Imported& imported)
{
    const bool detail = qEnvironmentVariableIsSet("BENCH_DETAIL");
    StartsVerdict verdict;
    int gross = 0, grossNamed = 0;
    double worstBefore = 1e9, worstAfter = 1e9, worstLead = 0;
    const std::vector<double>& starts = imported.starts;
    const size_t count = std::min(starts.size(), recording.speechStart.size());
    for (size_t k = 0; k < count; ++k) {
        const double beforeSpeech = recording.speechStart[k] - starts[k];
        const double afterPrevious = starts[k] - recording.speechEnd[k];
        const double off = offBy(recording, k, starts[k]);
        const bool named = imported.unsure.contains(int(k));
        verdict.outside += off > 0;
        gross += off > 0.3;
        grossNamed += off > 0.3 && named;
        verdict.namedRight += named && off == 0;
        worstBefore = std::min(worstBefore, beforeSpeech);
        worstAfter = std::min(worstAfter, afterPrevious);
        worstLead = std::max(worstLead, beforeSpeech);
        if (detail && (off > 0 || named))
            std::printf("  sentence %zu: start %.2f, its speech %.2f, previous speech ends %.2f%s\n", k + 1, starts[k],
                        recording.speechStart[k], recording.speechEnd[k], named ? " (named)" : "");
    }
    verdict.sentences = int(count);
    verdict.offNotNamed = gross - grossNamed;
    verdict.named = int(imported.unsure.size());
    std::printf("  starts outside their silence: %d of %zu; smallest margin to the own speech %.0f ms, "
                "to the previous speech %.0f ms; longest lead-in %.0f ms\n",
                verdict.outside, count, worstBefore * 1000, worstAfter * 1000, worstLead * 1000);
    std::printf("  more than 0.3 s off: %d, of them named %d, not named %d\n", gross, grossNamed, verdict.offNotNamed);
    std::printf("  named as unsure: %d, of them right (start in its pause) %d\n", verdict.named, verdict.namedRight);
    return verdict;
}

WordsVerdict judgeWords(const BenchRecording& recording, const Imported& imported)
{
    WordsVerdict verdict;
    const QStringList sentences = QString::fromUtf8(readFile(recording.text)).split('\n', Qt::SkipEmptyParts);
    const QList<WordTimes> words = wordTimesFrom(readFile(imported.wordTimes), sentences);
    struct Miss {
        double error;  // found − known, seconds
        qsizetype sentence, word;
    };
    std::vector<Miss> misses;
    std::vector<double> errors;
    double signedSum = 0;
    for (qsizetype k = 0; k < words.size() && k < qsizetype(imported.starts.size()); ++k) {
        const WordTimes& found = words[k];
        const double spanEnd = size_t(k) + 1 < imported.starts.size() ? imported.starts[size_t(k) + 1] : 1e9;
        for (const WordTime& w : found)
            verdict.outsideSpan += w.start < imported.starts[size_t(k)] - 0.0005 || w.end > spanEnd + 0.0005;
        const std::vector<double> known = size_t(k) < recording.wordStarts.size() ? recording.wordStarts[size_t(k)]
                                                                                   : std::vector<double>();
        if (!imported.unsure.contains(int(k)) && !known.empty() && found.size() < qsizetype(known.size()))
            ++verdict.incomplete;
        if (found.size() != qsizetype(known.size()))
            continue;
        for (qsizetype w = 0; w < found.size(); ++w) {
            const double error = found[w].start - known[size_t(w)];
            errors.push_back(std::abs(error));
            signedSum += error;
            misses.push_back({error, k, w});
        }
    }
    std::printf("  word-times file: %d words outside their sentence's span, %d sentences not named lack words\n",
                verdict.outsideSpan, verdict.incomplete);
    if (errors.empty()) {
        std::printf("  word starts: none to compare\n");
        return verdict;
    }
    std::sort(errors.begin(), errors.end());
    double sum = 0;
    for (double e : errors)
        sum += e;
    const auto share = [&](double limit) {
        const auto within = std::upper_bound(errors.begin(), errors.end(), limit) - errors.begin();
        return 100.0 * double(within) / double(errors.size());
    };
    verdict.compared = int(errors.size());
    verdict.meanMs = 1000 * sum / double(errors.size());
    verdict.within50 = share(0.05);
    verdict.within100 = share(0.1);
    std::printf("  word starts (%zu words of verified sentences): mean error %.1f ms, worst %.0f ms, "
                "within 50 ms %.1f %%, within 100 ms %.1f %%\n",
                errors.size(), verdict.meanMs, 1000 * errors.back(), verdict.within50, verdict.within100);
    std::printf("  word starts: mean signed error (found − known) %+.1f ms\n",
                1000 * signedSum / double(errors.size()));
    // BENCH_DETAIL=1 lists the words more than 50 ms off, worst first.
    if (!qEnvironmentVariableIsSet("BENCH_DETAIL"))
        return verdict;
    std::sort(misses.begin(), misses.end(),
              [](const Miss& a, const Miss& b) { return std::abs(a.error) > std::abs(b.error); });
    for (const Miss& miss : misses) {
        if (std::abs(miss.error) <= 0.05)
            break;
        const WordTime& w = words[miss.sentence][miss.word];
        std::printf("    %+4.0f ms  sentence %lld word %lld \"%s\" (%s)\n", 1000 * miss.error,
                    (long long)miss.sentence + 1, (long long)miss.word + 1,
                    qPrintable(sentences[miss.sentence].mid(w.from, w.length)), qPrintable(sentences[miss.sentence]));
    }
    return verdict;
}
