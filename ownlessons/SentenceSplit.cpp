#include "ownlessons/SentenceSplit.h"

#include "course/CourseFiles.h"
#include "course/TimingFile.h"
#include "course/WordTimesFile.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>
#include <tuple>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A lesson's three files as they are, and its sentences read from them.
struct LessonFiles {
    QString lessonName, timingName, wordTimesName, unsureName;
    QList<QByteArray> lessonLines;
    int first = -1, end = -1;  // the lesson's section in lessonLines: [first, end)
    NewLesson lesson;
    QString error;
};

QString fileOf(const QString& volumeFolder, const QString& name)
{
    return QFileInfo(courseFile(volumeFolder, name)).fileName();
}

LessonFiles readLessonFiles(const QString& volumeFolder, int lessonIndex)
{
    LessonFiles files;
    const QDir folder(volumeFolder);
    const QString base = lessonFileBase(QFileInfo(volumeFolder).fileName(), lessonIndex + 1);
    files.lessonName = fileOf(volumeFolder, kLessonText);
    files.timingName = fileOf(volumeFolder, base + ".lrc");
    files.wordTimesName = fileOf(volumeFolder, base + kWordTimesExtension);
    files.unsureName = fileOf(volumeFolder, base + kUnsureExtension);
    files.lessonLines = courseLines(readAll(folder.filePath(files.lessonName)));
    std::tie(files.first, files.end) = courseSection(files.lessonLines, lessonIndex);
    if (files.first < 0) {
        files.error = QStringLiteral("这一册没有第 %1 课").arg(lessonIndex + 1);
        return files;
    }
    files.lesson.title = decodeCourseText(files.lessonLines.at(files.first).mid(1)).trimmed();
    static const QRegularExpression label(QStringLiteral("^\\s*\\d+\\.\\s?"));
    QStringList texts;
    for (int i = files.first + 1; i < files.end; i += 2) {
        LessonSentence sentence;
        sentence.english = decodeCourseText(files.lessonLines.at(i)).remove(label).trimmed();
        sentence.chinese = i + 1 < files.end ? decodeCourseText(files.lessonLines.at(i + 1)).trimmed() : QString();
        texts << sentence.english;
        files.lesson.sentences << sentence;
    }
    const QList<QByteArray> timing = courseLines(readAll(folder.filePath(files.timingName)));
    const QList<WordTimes> words = wordTimesFrom(readAll(folder.filePath(files.wordTimesName)), texts);
    const std::vector<bool> unsure =
        unsureFrom(readAll(folder.filePath(files.unsureName)), int(files.lesson.sentences.size()));
    for (int n = 0; n < files.lesson.sentences.size(); ++n) {
        const std::optional<double> start = timingfile::startOf(timing.value(n));
        if (!start) {
            files.error = QStringLiteral("“%1”里没有第 %2 句的时间").arg(files.timingName).arg(n + 1);
            return files;
        }
        files.lesson.sentences[n].start = *start;
        files.lesson.sentences[n].words = words.value(n);
        files.lesson.sentences[n].unsure = unsure[size_t(n)];
    }
    return files;
}

QString writeLessonFiles(const QString& volumeFolder, LessonFiles files)
{
    const LessonBytes bytes = lessonBytes(files.lesson);
    if (!bytes.error.isEmpty())
        return bytes.error;
    QList<QByteArray> lines = files.lessonLines;
    lines.erase(lines.begin() + files.first, lines.begin() + files.end);
    const QList<QByteArray> section = courseLines(bytes.lesson);
    for (int i = 0; i < section.size(); ++i)
        lines.insert(files.first + i, section.at(i));
    QStringList texts;
    QList<WordTimes> words;
    for (const LessonSentence& sentence : files.lesson.sentences) {
        texts << sentence.english;
        words << sentence.words;
    }
    FileTransaction transaction(volumeFolder);
    bool written = transaction.write(files.lessonName, joinedCourseLines(lines)) &&
                   transaction.write(files.timingName, bytes.timing);
    if (written && QFileInfo::exists(QDir(volumeFolder).filePath(files.wordTimesName)))
        written = transaction.write(files.wordTimesName, wordTimesBytes(texts, words));
    // Split and joined sentences are the learner's own: no longer unsure.
    const QByteArray unsure = unsureBytes(files.lesson.sentences);
    if (written && !unsure.isEmpty())
        written = transaction.write(files.unsureName, unsure);
    else if (QFileInfo::exists(QDir(volumeFolder).filePath(files.unsureName)))
        transaction.remove(files.unsureName);
    if (!written || !transaction.commit())
        return transaction.error();
    return QString();
}

}  // namespace

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
