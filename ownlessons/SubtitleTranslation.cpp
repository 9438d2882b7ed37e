#include "ownlessons/SubtitleTranslation.h"

#include "ownlessons/TextSplitter.h"

#include <algorithm>
#include <limits>

namespace {

// A span without an end of its own (LRC) lasts until the next one starts.
template <typename List, typename Start, typename End>
double spanEnd(const List& list, int k, Start start, End end)
{
    if (end(list.at(k)) > start(list.at(k)))
        return end(list.at(k));
    return k + 1 < list.size() ? start(list.at(k + 1)) : std::numeric_limits<double>::infinity();
}

QString chineseOf(const SubtitleCue& cue)
{
    QStringList lines;
    for (const QString& line : cue.lines) {
        if (isChineseLine(line))
            lines << line;
    }
    return lines.join(' ');
}

}  // namespace

int translateByOverlap(LessonSentences& sentences, const QList<SubtitleCue>& chinese)
{
    auto cueStart = [](const SubtitleCue& c) { return c.start; };
    auto cueEnd = [](const SubtitleCue& c) { return c.end; };
    auto sentenceStart = [](const LessonSentence& s) { return s.start; };
    auto sentenceEnd = [](const LessonSentence& s) { return s.end; };
    int translated = 0;
    for (int k = 0; k < sentences.size(); ++k) {
        const double from = sentences.at(k).start;
        const double to = spanEnd(sentences, k, sentenceStart, sentenceEnd);
        double longest = 0;
        QString line;
        for (int c = 0; c < chinese.size(); ++c) {
            const double overlap =
                std::min(to, spanEnd(chinese, c, cueStart, cueEnd)) - std::max(from, chinese.at(c).start);
            const QString text = overlap > longest ? chineseOf(chinese.at(c)) : QString();
            if (!text.isEmpty()) {
                longest = overlap;
                line = text;
            }
        }
        if (!line.isEmpty()) {
            sentences[k].chinese = line;
            ++translated;
        }
    }
    return translated;
}
