#include "course/WordTimesFile.h"

#include <algorithm>
#include <cmath>
#include <optional>

const char* const kWordTimesExtension = ".wordtimes.tsv";

namespace {

const QByteArray kHeader = "sentence\tstart\tend\tfrom\tlength\tword\n";
constexpr int kFields = 6;
// A word keeps at least this much of its own time when its start moves.
constexpr double kShortestWord = 0.01;

struct WordLine {
    int sentence = 0;  // from 0
    WordTime time;
    QString written;
};

QByteArray seconds(double value) { return QByteArray::number(value, 'f', 3); }

QByteArray lineOf(const WordLine& word)
{
    return QByteArray::number(word.sentence + 1) + '\t' + seconds(word.time.start) + '\t' + seconds(word.time.end)
           + '\t' + QByteArray::number(word.time.from) + '\t' + QByteArray::number(word.time.length) + '\t'
           + word.written.toUtf8() + '\n';
}

// The lines, each without its LF (a CR before it stays).
QList<QByteArray> linesOf(const QByteArray& bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// A word's line; nothing for the header, an empty or a damaged line.
std::optional<WordLine> wordOf(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    const QList<QByteArray> fields = line.split('\t');
    if (fields.size() != kFields)
        return std::nullopt;
    bool ok[5] = {};
    WordLine word;
    word.sentence = fields[0].toInt(&ok[0]) - 1;
    word.time.start = fields[1].toDouble(&ok[1]);
    word.time.end = fields[2].toDouble(&ok[2]);
    word.time.from = fields[3].toInt(&ok[3]);
    word.time.length = fields[4].toInt(&ok[4]);
    word.written = QString::fromUtf8(fields[5]);
    const bool numbers = std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; });
    if (!numbers || word.sentence < 0 || word.time.from < 0 || word.time.length <= 0
        || !std::isfinite(word.time.start) || !std::isfinite(word.time.end) || word.time.start < 0
        || word.time.end < word.time.start)
        return std::nullopt;
    return word;
}

}  // namespace

QByteArray wordTimesBytes(const QStringList& texts, const QList<WordTimes>& words)
{
    QByteArray bytes;
    for (int n = 0; n < words.size() && n < texts.size(); ++n) {
        for (const WordTime& time : words.at(n))
            bytes += lineOf({n, time, texts.at(n).mid(time.from, time.length)});
    }
    return bytes.isEmpty() ? bytes : kHeader + bytes;
}

QList<WordTimes> wordTimesFrom(const QByteArray& bytes, const QStringList& texts)
{
    QList<WordTimes> words(texts.size());
    QList<bool> stale(texts.size(), false);
    for (const QByteArray& line : linesOf(bytes)) {
        const std::optional<WordLine> word = wordOf(line);
        if (!word || word->sentence >= texts.size())
            continue;
        const int n = word->sentence;
        if (texts.at(n).mid(word->time.from, word->time.length) != word->written)
            stale[n] = true;
        words[n] << word->time;
    }
    for (int n = 0; n < words.size(); ++n) {
        if (stale.at(n))
            words[n].clear();
        std::stable_sort(words[n].begin(), words[n].end(),
                         [](const WordTime& a, const WordTime& b) { return a.start < b.start; });
    }
    return words;
}

QByteArray withFirstWordMoved(const QByteArray& bytes, int sentence, double seconds)
{
    QList<QByteArray> lines = linesOf(bytes);
    int first = -1;
    std::optional<WordLine> firstWord;
    for (int i = 0; i < lines.size(); ++i) {
        const std::optional<WordLine> word = wordOf(lines.at(i));
        if (word && word->sentence == sentence && (!firstWord || word->time.start < firstWord->time.start)) {
            first = i;
            firstWord = word;
        }
    }
    if (first < 0)
        return bytes;
    WordTime& time = firstWord->time;
    time.start = std::clamp(time.start + seconds, 0.0, std::max(0.0, time.end - kShortestWord));
    const bool crlf = lines.at(first).endsWith('\r');
    lines[first] = lineOf(*firstWord);
    lines[first].chop(1);
    if (crlf)
        lines[first] += '\r';
    QByteArray moved;
    for (const QByteArray& line : lines)
        moved += line + '\n';
    return moved;
}

std::vector<double> firstWordStarts(const QByteArray& bytes, int sentences)
{
    std::vector<double> starts(size_t(std::max(sentences, 0)), -1);
    for (const QByteArray& line : linesOf(bytes)) {
        const std::optional<WordLine> word = wordOf(line);
        if (!word || word->sentence >= sentences)
            continue;
        double& first = starts[size_t(word->sentence)];
        if (first < 0 || word->time.start < first)
            first = word->time.start;
    }
    return starts;
}
