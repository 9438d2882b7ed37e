// The dictionary as the card and the command line use it: how long a lookup
// takes (the first, which opens the file, and then each word of the texts),
// what the process's anonymous memory grows by once the dictionary is used,
// and how many word tokens of the shipped course and of the own-lesson bench
// texts find a headword, with the misses listed (numbers, and capitalised
// words the dictionary lacks, are counted apart: names).
//
//   bench_dictionary [PROGRAM_FOLDER]

#include "BenchRecordings.h"
#include "bench/BenchProcess.h"
#include "dictionary/Dictionary.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextStream>

#include <algorithm>
#include <cstdio>

namespace {

// The English lines of every shipped volume ("N. sentence" in its lesson
// list, which is in GB18030).
QStringList courseSentences(const QString& books)
{
    QStringList sentences;
    static const QRegularExpression numbered(R"(^\d+\.\s+(.*)$)");
    for (const QString& volume : QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile list(QDir(books).filePath(volume + "/lesson.txt"));
        if (!list.open(QIODevice::ReadOnly))
            continue;
        QStringDecoder gb18030("GB18030");
        const QString text = gb18030(list.readAll());
        for (const QString& line : text.split('\n')) {
            const auto m = numbered.match(line.trimmed());
            if (m.hasMatch())
                sentences << m.captured(1);
        }
    }
    return sentences;
}

struct Coverage {
    int tokens = 0;
    int found = 0;
    int numbers = 0;
    int names = 0;
    QMap<QString, int> misses;
};

Coverage cover(Dictionary& dictionary, const QStringList& sentences, std::vector<double>& lookupMs)
{
    Coverage c;
    static const QRegularExpression token(R"re([^\s,;:!?()"“”]+)re");
    for (const QString& sentence : sentences) {
        for (auto it = token.globalMatch(sentence); it.hasNext();) {
            const QString written = it.next().captured();
            QElapsedTimer clock;
            clock.start();
            const WordLookup lookup = dictionary.lookup(written);
            lookupMs.push_back(clock.nsecsElapsed() / 1e6);
            if (lookup.kind == WordLookup::Kind::NotEnglish)
                continue;
            ++c.tokens;
            if (lookup.kind == WordLookup::Kind::Number)
                ++c.numbers;
            else if (lookup.found())
                ++c.found;
            else if (lookup.word.at(0).isUpper())
                ++c.names, ++c.misses[lookup.word];
            else
                ++c.misses[lookup.word];
        }
    }
    return c;
}

void report(const char* what, const Coverage& c)
{
    const int words = c.tokens - c.numbers - c.names;
    std::printf("%s: %d tokens, %d numbers, %d capitalised and unknown (names); %d of %d words found (%.2f %%)\n", what,
                c.tokens, c.numbers, c.names, c.found, words, words > 0 ? 100.0 * c.found / words : 0.0);
    QStringList misses;
    for (auto it = c.misses.cbegin(); it != c.misses.cend(); ++it)
        misses << QString("%1×%2").arg(it.key()).arg(it.value());
    std::printf("  not found: %s\n", qPrintable(misses.join(", ")));
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QString program = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString(LEXBAY_APP_DIR);
    Dictionary dictionary(dictionaryFile(program));

    const long before = anonymousKilobytes();
    QElapsedTimer clock;
    clock.start();
    const WordLookup first = dictionary.lookup("went");
    const double firstMs = clock.nsecsElapsed() / 1e6;
    if (first.kind == WordLookup::Kind::Unreadable) {
        std::fprintf(stderr, "bench_dictionary: %s\n", qPrintable(first.problem));
        return 1;
    }

    std::vector<double> lookupMs;
    const QStringList course = courseSentences(QDir(program).filePath("books"));
    QStringList prose;
    for (unsigned seed : {1u, 2u, 3u})
        prose << proseSentences(100, seed);
    const Coverage courseCoverage = cover(dictionary, course, lookupMs);
    const Coverage proseCoverage = cover(dictionary, prose, lookupMs);
    // Again, warm: what a learner's second card costs.
    std::vector<double> warmMs;
    cover(dictionary, course + prose, warmMs);
    const long after = anonymousKilobytes();

    std::printf("first lookup (opens the file): %.2f ms\n", firstMs);
    std::printf(
        "lookups: %zu; median %.3f ms, 99th percentile %.3f ms, slowest %.3f ms (warm: median %.3f, 99th %.3f)\n",
        lookupMs.size(), percentile(lookupMs, 0.5), percentile(lookupMs, 0.99), percentile(lookupMs, 1.0),
        percentile(warmMs, 0.5), percentile(warmMs, 0.99));
    std::printf("anonymous memory: +%.1f MB once used (%ld → %ld kB)\n", (after - before) / 1024.0, before, after);
    std::printf("dictionary file: %.2f MB\n", QFileInfo(dictionary.file()).size() / 1048576.0);
    report("shipped course", courseCoverage);
    report("own-lesson bench texts", proseCoverage);
    return 0;
}
