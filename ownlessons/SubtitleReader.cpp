#include "ownlessons/SubtitleReader.h"

#include "ownlessons/TextSplitter.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

using Cue = SubtitleCue;

// hh:mm:ss,mmm or mm:ss.mmm (hours optional, comma or full stop).
double clockSeconds(const QString& text, bool* ok)
{
    static const QRegularExpression clock(R"(^\s*(?:(\d{1,3}):)?(\d{1,2}):(\d{1,2})(?:[.,](\d{1,3}))?\s*$)");
    const QRegularExpressionMatch m = clock.match(text);
    *ok = m.hasMatch() && m.captured(2).toInt() < 60 && m.captured(3).toInt() < 60;
    if (!*ok)
        return 0;
    const QString fraction = m.captured(4);
    return m.captured(1).toInt() * 3600.0 + m.captured(2).toInt() * 60.0 + m.captured(3).toInt()
           + (fraction.isEmpty() ? 0.0 : fraction.toInt() / std::pow(10.0, fraction.size()));
}

QString withoutMarkup(const QString& line)
{
    static const QRegularExpression tags(R"(<[^>]*>|\{\\[^}]*\})");
    return QString(line).remove(tags).simplified();
}

QString badTime(int cue, const QString& line)
{
    return QStringLiteral("字幕第 %1 条的时间有误：“%2”").arg(cue).arg(line.trimmed().left(60));
}

QString formatName(SubtitleFormat format)
{
    switch (format) {
    case SubtitleFormat::SubRip:
        return "SRT";
    case SubtitleFormat::WebVtt:
        return "VTT";
    case SubtitleFormat::Ass:
        return "ASS/SSA";
    case SubtitleFormat::Lyrics:
        return "LRC";
    case SubtitleFormat::None:
        break;
    }
    return {};
}

QString noCues(SubtitleFormat format)
{
    return QStringLiteral("一条 %1 字幕也没有（是别的格式吗？）").arg(formatName(format));
}

// The fields of a Dialogue line when the file has no Format line: ASS and
// SSA both put the start, the end and the text there.
const QStringList kDefaultEventFields = {"layer", "start", "end", "style", "name",
                                         "marginl", "marginr", "marginv", "effect", "text"};

// An ASS/SSA text: {…} overrides and comments dropped, \h a space, \N and
// \n line breaks.
QStringList assLines(QString text)
{
    // Between {\p1} and {\p0} the text is a drawing's outline, not words.
    static const QRegularExpression drawing(R"(\{[^}]*\\p[1-9][^}]*\}[^{]*)");
    static const QRegularExpression overrides(R"(\{[^}]*\})");
    text.remove(drawing);
    static const QRegularExpression breaks(R"(\\[Nn])");
    text.remove(overrides).replace("\\h", " ");
    QStringList lines;
    for (const QString& part : text.split(breaks)) {
        const QString line = withoutMarkup(part);
        if (!line.isEmpty())
            lines << line;
    }
    return lines;
}

// ASS/SSA: the Dialogue lines of the [Events] section, their fields named
// by its Format line; the text is the last field and may hold commas.
// Dialogue lines need not come in time order; they are sorted.
QString readAss(const QStringList& lines, QList<Cue>* cues)
{
    bool inEvents = false;
    QStringList fields = kDefaultEventFields;
    int count = 0;
    for (const QString& raw : lines) {
        const QString line = raw.trimmed();
        if (line.startsWith('[')) {
            inEvents = line.compare("[Events]", Qt::CaseInsensitive) == 0;
            continue;
        }
        if (!inEvents)
            continue;
        if (line.startsWith("Format:", Qt::CaseInsensitive)) {
            fields.clear();
            for (const QString& field : line.mid(7).split(','))
                fields << field.trimmed().toLower();
            if (!fields.contains("start") || !fields.contains("end") || fields.last() != "text")
                return QStringLiteral("字幕 [Events] 的 Format 行应有 Start、End 并以 Text 结束：“%1”")
                    .arg(line.left(80));
            continue;
        }
        if (!line.startsWith("Dialogue:", Qt::CaseInsensitive))
            continue;  // Comment:, Picture:, Sound:…
        ++count;
        QStringList values = line.mid(9).split(',');
        if (values.size() < fields.size())
            return QStringLiteral("字幕第 %1 条的字段不全：“%2”").arg(count).arg(line.left(60));
        const QString text = values.mid(fields.size() - 1).join(',');
        bool startOk = false;
        bool endOk = false;
        Cue cue;
        cue.start = clockSeconds(values.at(int(fields.indexOf("start"))), &startOk);
        cue.end = clockSeconds(values.at(int(fields.indexOf("end"))), &endOk);
        if (!startOk || !endOk || cue.end < cue.start)
            return badTime(count, raw);
        cue.lines = assLines(text);
        cues->append(cue);
    }
    std::stable_sort(cues->begin(), cues->end(), [](const Cue& a, const Cue& b) { return a.start < b.start; });
    return {};
}

// The timing file keeps hundredths of a second: cues that start in the
// same hundredth (two speakers shown at once, or a translation given as a
// cue of its own) are one sentence.
QList<Cue> joinedSimultaneous(const QList<Cue>& cues)
{
    QList<Cue> joined;
    for (const Cue& cue : cues) {
        if (!joined.isEmpty() && std::lround(joined.last().start * 100) == std::lround(cue.start * 100)) {
            joined.last().lines += cue.lines;
            joined.last().end = std::max(joined.last().end, cue.end);
        } else {
            joined << cue;
        }
    }
    return joined;
}

// SubRip and WebVTT: blocks separated by empty lines, each with a line
// "start --> end [settings]" and the cue's text after it.
QString readBlocks(const QStringList& lines, QList<Cue>* cues)
{
    Cue* open = nullptr;
    bool skipping = false;  // a WebVTT NOTE, STYLE or REGION block
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty()) {
            open = nullptr;
            skipping = false;
            continue;
        }
        if (skipping)
            continue;
        const int arrow = line.indexOf("-->");
        if (arrow >= 0) {
            bool startOk = false;
            bool endOk = false;
            Cue cue;
            cue.start = clockSeconds(line.left(arrow), &startOk);
            const QString rest = line.mid(arrow + 3).trimmed();
            cue.end = clockSeconds(rest.section(' ', 0, 0), &endOk);
            const bool backwards = !cues->isEmpty() && cue.start < cues->last().start;
            if (!startOk || !endOk || cue.end < cue.start || backwards)
                return badTime(int(cues->size()) + 1, line);
            cues->append(cue);
            open = &cues->last();
            continue;
        }
        if (open) {
            const QString text = withoutMarkup(line);
            if (!text.isEmpty())
                open->lines << text;
        } else if (line.startsWith("NOTE") || line.startsWith("STYLE") || line.startsWith("REGION")) {
            skipping = true;
        }
        // Other lines outside a cue: its number, or the WEBVTT heading.
    }
    return {};
}

// Timed lyrics: "[mm:ss.xx]text", one or more stamps per line; tag lines
// such as [ar:…] are no cues.
QString readLyrics(const QStringList& lines, QList<Cue>* cues)
{
    static const QRegularExpression stamp(R"(^\[([^\]]*)\])");
    static const QRegularExpression tag(R"(^[A-Za-z]+:)");
    int count = 0;
    for (const QString& raw : lines) {
        QString line = raw.trimmed();
        QList<double> starts;
        QRegularExpressionMatch m;
        while ((m = stamp.match(line)).hasMatch()) {
            const QString inside = m.captured(1);
            line = line.mid(m.capturedLength());
            if (tag.match(inside).hasMatch())
                continue;
            bool ok = false;
            const double start = clockSeconds(inside, &ok);
            if (!ok)
                return badTime(count + 1, raw);
            starts << start;
        }
        const QString text = withoutMarkup(line);
        for (double start : starts) {
            ++count;
            if (!text.isEmpty())
                cues->append({start, -1, {text}});
        }
    }
    std::stable_sort(cues->begin(), cues->end(), [](const Cue& a, const Cue& b) { return a.start < b.start; });
    return {};
}

LessonSentence sentenceOf(const Cue& cue)
{
    LessonSentence sentence;
    sentence.start = cue.start;
    sentence.end = cue.end;
    for (const QString& line : cue.lines) {
        QString& part = isChineseLine(line) ? sentence.chinese : sentence.english;
        part += part.isEmpty() ? line : " " + line;
    }
    return sentence;
}

LessonSentences sentencesOf(const QList<Cue>& cues, bool mergeCues)
{
    LessonSentences sentences;
    bool joining = false;
    for (const Cue& cue : joinedSimultaneous(cues)) {
        const LessonSentence next = sentenceOf(cue);
        if (next.english.isEmpty())
            continue;  // a cue of music marks or Chinese only has nothing to read
        if (joining) {
            LessonSentence& last = sentences.last();
            last.english += " " + next.english;
            last.end = std::max(last.end, next.end);
            if (!next.chinese.isEmpty())
                last.chinese += last.chinese.isEmpty() ? next.chinese : " " + next.chinese;
        } else {
            sentences.append(next);
        }
        joining = mergeCues && !endsSentence(sentences.last().english);
    }
    return sentences;
}

}  // namespace

SubtitleFormat subtitleFormatOf(const QString& fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix == "srt")
        return SubtitleFormat::SubRip;
    if (suffix == "vtt")
        return SubtitleFormat::WebVtt;
    if (suffix == "lrc")
        return SubtitleFormat::Lyrics;
    if (suffix == "ass" || suffix == "ssa")
        return SubtitleFormat::Ass;
    return SubtitleFormat::None;
}

SubtitleCue subtitleCue(double start, double end, const QString& text)
{
    SubtitleCue cue{start, end, {}};
    for (const QString& line : QString(text).replace("\r\n", "\n").split('\n')) {
        if (const QString plain = withoutMarkup(line); !plain.isEmpty())
            cue.lines << plain;
    }
    return cue;
}

SubtitleCues readSubtitleCues(const QString& text, SubtitleFormat format)
{
    SubtitleCues read;
    if (text.trimmed().isEmpty()) {
        read.error = QStringLiteral("字幕文件是空的");
        return read;
    }
    QString normalised = text;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    const QStringList lines = normalised.split('\n');
    switch (format) {
    case SubtitleFormat::Lyrics:
        read.error = readLyrics(lines, &read.cues);
        break;
    case SubtitleFormat::Ass:
        read.error = readAss(lines, &read.cues);
        break;
    default:
        read.error = readBlocks(lines, &read.cues);
    }
    if (read.error.isEmpty() && read.cues.isEmpty())
        read.error = noCues(format);
    if (!read.error.isEmpty())
        read.cues.clear();
    return read;
}

SubtitleReading sentencesOfCues(const QList<SubtitleCue>& cues, bool mergeCues)
{
    SubtitleReading reading;
    reading.sentences = sentencesOf(cues, mergeCues);
    if (reading.sentences.isEmpty())
        reading.error = QStringLiteral("字幕文件里没有带时间的英文字幕");
    return reading;
}

SubtitleReading readSubtitles(const QString& text, SubtitleFormat format, bool mergeCues)
{
    const SubtitleCues read = readSubtitleCues(text, format);
    if (read.error == noCues(format))
        return {{}, QStringLiteral("字幕文件里没有带时间的英文字幕：") + read.error};
    if (!read.error.isEmpty())
        return {{}, read.error};
    return sentencesOfCues(read.cues, mergeCues);
}
