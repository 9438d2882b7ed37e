#include "ownlessons/SentenceSplit.h"

#include "course/TimingFile.h"
#include "ownlessons/LessonFiles.h"

#include <algorithm>

QString splitSentence(const QString& volumeFolder, int lessonIndex, int sentence, double seconds, int at,
                      int chineseAt)
{
    LessonFiles files = readLessonFiles(volumeFolder, lessonIndex);
    if (!files.error.isEmpty())
        return files.error;
    LessonSentences& sentences = files.lesson.sentences;
    if (sentence < 0 || sentence >= sentences.size())
        return QStringLiteral("这一课没有第 %1 句").arg(sentence + 1);
    const LessonSentence whole = sentences.at(sentence);
    const QString before = whole.english.left(at).trimmed();
    const QString after = whole.english.mid(at).trimmed();
    if (at <= 0 || before.isEmpty() || after.isEmpty())
        return QStringLiteral("不能在句子的开头或末尾分开：分开后的两句都要有文字");
    const double next = sentence + 1 < sentences.size() ? sentences.at(sentence + 1).start : timingfile::kLongestRecording;
    if (seconds <= whole.start + 0.01 || seconds >= next - 0.01)
        return QStringLiteral("分开的时间 %1 秒不在这一句之内").arg(seconds, 0, 'f', 2);
    // Where the second half's text begins in the whole.
    const int afterFrom = int(whole.english.indexOf(after, at));
    const bool chineseSplit = chineseAt >= 0 && chineseAt <= whole.chinese.size();
    LessonSentence first{before, chineseSplit ? whole.chinese.left(chineseAt) : whole.chinese, whole.start, {}};
    LessonSentence second{after, chineseSplit ? whole.chinese.mid(chineseAt) : QString(), seconds, {}};
    for (const WordTime& word : whole.words) {
        if (word.from < at)
            first.words << word;
        else
            second.words << WordTime{word.from - afterFrom, word.length, word.start, word.end};
    }
    if (!second.words.isEmpty())
        second.start = std::min(seconds, second.words.first().start);
    if (second.start <= first.start + 0.01)
        return QStringLiteral("后半句的第一个词在这一句开始之前");
    sentences[sentence] = first;
    sentences.insert(sentence + 1, second);
    return writeLessonFiles(volumeFolder, files);
}

QString mergeSentences(const QString& volumeFolder, int lessonIndex, int sentence)
{
    LessonFiles files = readLessonFiles(volumeFolder, lessonIndex);
    if (!files.error.isEmpty())
        return files.error;
    LessonSentences& sentences = files.lesson.sentences;
    if (sentence < 0 || sentence + 1 >= sentences.size())
        return QStringLiteral("第 %1 句后面没有可以合并的句子").arg(sentence + 1);
    const LessonSentence& first = sentences.at(sentence);
    const LessonSentence& second = sentences.at(sentence + 1);
    LessonSentence joined{first.english + ' ' + second.english, first.chinese + second.chinese, first.start, first.words};
    const int offset = int(first.english.size()) + 1;
    for (const WordTime& word : second.words)
        joined.words << WordTime{word.from + offset, word.length, word.start, word.end};
    sentences[sentence] = joined;
    sentences.removeAt(sentence + 1);
    return writeLessonFiles(volumeFolder, files);
}
