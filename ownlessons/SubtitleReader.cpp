#include "ownlessons/SubtitleReader.h"

#include "ownlessons/TextSplitter.h"

#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

struct Cue {
    double start = 0;
    double end = -1;
    QStringList lines;
};

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
    for (const Cue& cue : cues) {
        const LessonSentence next = sentenceOf(cue);
        if (next.english.isEmpty())
            continue;  // a cue of music marks or Chinese only has nothing to read
        if (joining) {
            LessonSentence& last = sentences.last();
            last.english += " " + next.english;
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
    return SubtitleFormat::None;
}

SubtitleReading readSubtitles(const QString& text, SubtitleFormat format, bool mergeCues)
{
    QString normalised = text;
    normalised.replace("\r\n", "\n").replace('\r', '\n');
    const QStringList lines = normalised.split('\n');
    QList<Cue> cues;
    SubtitleReading reading;
    reading.error = format == SubtitleFormat::Lyrics ? readLyrics(lines, &cues) : readBlocks(lines, &cues);
    if (!reading.error.isEmpty())
        return reading;
    reading.sentences = sentencesOf(cues, mergeCues);
    if (reading.sentences.isEmpty())
        reading.error = QStringLiteral("字幕文件里没有带时间的英文字幕");
    return reading;
}
