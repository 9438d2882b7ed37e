#include "ownlessons/TextSplitter.h"

#include <QStringDecoder>
#include <QStringList>

namespace {

// Words whose full stop does not end a sentence, lower case, without it.
const QStringList& abbreviations()
{
    static const QStringList words = {"mr", "mrs", "ms", "dr", "st", "jr", "sr", "prof", "mt", "vs",
                                      "e.g", "i.e", "etc", "a.m", "p.m", "no", "fig", "cf"};
    return words;
}

bool isClosingMark(QChar c)
{
    return c == '"' || c == '\'' || c == u'\u201D' || c == u'\u2019' || c == ')' || c == ']';
}

bool isEndMark(QChar c) { return c == '.' || c == '!' || c == '?' || c == u'\u2026'; }

// The word just before position `stop` (a full stop), without opening quotes.
QString wordBefore(const QString& text, int stop)
{
    int begin = stop;
    while (begin > 0 && !text.at(begin - 1).isSpace())
        --begin;
    QString word = text.mid(begin, stop - begin);
    while (!word.isEmpty() && !word.at(0).isLetterOrNumber())
        word.remove(0, 1);
    return word;
}

bool fullStopEnds(const QString& text, int stop)
{
    const QString word = wordBefore(text, stop);
    if (word.size() == 1 && word.at(0).isUpper())
        return false;  // an initial
    return !abbreviations().contains(word.toLower());
}

// Where the sentence that has a mark at `at` ends (one past its closing
// quotes), or -1 when the mark does not end one.
int sentenceEndAt(const QString& text, int at)
{
    int end = at;
    bool onlyFullStops = true;
    while (end < text.size() && isEndMark(text.at(end))) {
        onlyFullStops = onlyFullStops && text.at(end) == '.';
        ++end;
    }
    while (end < text.size() && isClosingMark(text.at(end)))
        ++end;
    if (end < text.size() && !text.at(end).isSpace())
        return -1;  // 3.5, e.g.x, a URL
    if (onlyFullStops && end - at == 1 && !fullStopEnds(text, at))
        return -1;
    // "He said no. and" — a lower-case word goes on with the same sentence.
    int next = end;
    while (next < text.size() && text.at(next).isSpace())
        ++next;
    if (next < text.size() && text.at(next).isLower())
        return -1;
    return end;
}

class Splitter {
public:
    void addLine(const QString& raw)
    {
        const QString line = raw.simplified();
        if (line.isEmpty()) {
            flush();
            return;
        }
        if (isChineseLine(line)) {
            flush();
            if (translatable_ >= 0 && translatable_ < sentences_.size()) {
                QString& chinese = sentences_[translatable_].chinese;
                chinese += chinese.isEmpty() ? line : " " + line;
            }
            return;
        }
        translatable_ = -1;
        pending_ += pending_.isEmpty() ? line : " " + line;
        cutSentences();
        if (!pending_.isEmpty())
            return;
        translatable_ = int(sentences_.size()) - 1;
    }

    LessonSentences finish()
    {
        flush();
        return sentences_;
    }

private:
    void cutSentences()
    {
        int from = 0;
        for (int i = 0; i < pending_.size(); ++i) {
            if (!isEndMark(pending_.at(i)))
                continue;
            const int end = sentenceEndAt(pending_, i);
            if (end < 0)
                continue;
            add(pending_.mid(from, end - from));
            from = end;
            i = end - 1;
        }
        pending_ = pending_.mid(from).trimmed();
    }

    void flush()
    {
        if (!pending_.isEmpty()) {
            add(pending_);
            translatable_ = int(sentences_.size()) - 1;
        }
        pending_.clear();
    }

    void add(const QString& sentence)
    {
        const QString text = sentence.trimmed();
        if (!text.isEmpty())
            sentences_.append({text, {}, -1});
    }

    LessonSentences sentences_;
    QString pending_;
    int translatable_ = -1;  // the sentence a Chinese line would translate
};

}  // namespace

QString decodeLessonText(const QByteArray& bytes)
{
    QByteArray body = bytes;
    if (body.startsWith("\xEF\xBB\xBF"))
        body.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(body);
    if (!utf8.hasError())
        return text;
    QStringDecoder gb("GB18030");
    return gb.decode(body);
}

LessonSentences splitLessonText(const QString& text)
{
    Splitter splitter;
    QString normalised = text;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    for (const QString& line : normalised.split('\n'))
        splitter.addLine(line);
    return splitter.finish();
}

bool endsSentence(const QString& text)
{
    const QString trimmed = text.trimmed();
    int mark = trimmed.size() - 1;
    while (mark >= 0 && isClosingMark(trimmed.at(mark)))
        --mark;
    if (mark < 0 || !isEndMark(trimmed.at(mark)))
        return false;
    while (mark > 0 && isEndMark(trimmed.at(mark - 1)))
        --mark;
    return sentenceEndAt(trimmed, mark) == trimmed.size();
}

bool isChineseLine(const QString& line)
{
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if ((u >= 0x4E00 && u <= 0x9FFF) || (u >= 0x3400 && u <= 0x4DBF))
            return true;
    }
    return false;
}
