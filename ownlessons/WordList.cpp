#include "ownlessons/WordList.h"

#include "platform/speech/SpeechSynthesis.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

namespace {

// About the 300 most frequent English words: a learner of this course
// knows them, so they stay off the list.
const QSet<QString>& commonWords()
{
    static const QSet<QString> words = [] {
        const QString list = QStringLiteral(
            "a about above after again against all also am an and any are aren't as at be because been before "
            "being below between both but by can can't could couldn't did didn't do does doesn't doing don't down "
            "during each few for from further had hadn't has hasn't have haven't having he he'd he'll he's her here "
            "here's hers herself him himself his how how's i i'd i'll i'm i've if in into is isn't it it's its itself "
            "let's me more most mustn't my myself no nor not of off on once only or other ought our ours ourselves "
            "out over own same she she'd she'll she's should shouldn't so some such than that that's the their "
            "theirs them themselves then there there's these they they'd they'll they're they've this those through "
            "to too under until up very was wasn't we we'd we'll we're we've were weren't what what's when when's "
            "where where's which while who who's whom why why's will with won't would wouldn't you you'd you'll "
            "you're you've your yours yourself yourselves yes oh ok okay mr mrs ms dr go goes went gone get got "
            "come came make made take took see saw say said know knew think look want give use find tell ask work "
            "seem feel try leave call good new first last long great little just old big high small large next "
            "early young important public bad able one two three four five six seven eight nine ten hundred "
            "thousand time year people way day man woman child world life hand part place week case point home "
            "thing things now well back even still way like many much must may might shall also never always "
            "often here there today tomorrow yesterday please thank thanks hello hi dear sir");
        const QStringList split = list.split(' ', Qt::SkipEmptyParts);
        return QSet<QString>(split.cbegin(), split.cend());
    }();
    return words;
}

}  // namespace

QList<WordEntry> lessonWords(const LessonSentences& sentences)
{
    static const QRegularExpression wordPattern(R"([A-Za-z]+(?:['’][A-Za-z]+)*)");
    QList<WordEntry> entries;
    QSet<QString> seen;
    for (const LessonSentence& sentence : sentences) {
        auto matches = wordPattern.globalMatch(sentence.english);
        while (matches.hasNext()) {
            QString word = matches.next().captured().toLower();
            word.replace(QChar(0x2019), '\'');
            if (word.size() < 2 || commonWords().contains(word) || seen.contains(word))
                continue;
            seen.insert(word);
            const QString ipa = ipaOf(word);
            entries.append({word, ipa.isEmpty() ? QString() : "/" + ipa + "/", {}});
        }
    }
    return entries;
}

QList<WordEntry> readWordFile(const QString& text, QString* error)
{
    QStringList lines = QString(text).replace("\r\n", "\n").split('\n');
    lines.removeIf([](const QString& line) { return line.startsWith('$'); });
    QList<WordEntry> entries;
    for (int i = 0; i < lines.size();) {
        if (lines.at(i).trimmed().isEmpty()) {
            ++i;
            continue;
        }
        if (i + 2 >= lines.size()) {
            *error = QStringLiteral("词表里的“%1”缺少音标或中文意思（每个词三行：单词、音标、意思）")
                         .arg(lines.at(i).trimmed());
            return {};
        }
        entries.append({lines.at(i).trimmed(), lines.at(i + 1).trimmed(), lines.at(i + 2).trimmed()});
        i += 3;
    }
    return entries;
}
