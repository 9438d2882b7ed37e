#include "ownlessons/LessonFiles.h"

#include "course/CourseFiles.h"
#include "course/TimingFile.h"
#include "course/WordTimesFile.h"
#include "ownlessons/FileTransaction.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <tuple>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString fileOf(const QString& volumeFolder, const QString& name)
{
    return QFileInfo(courseFile(volumeFolder, name)).fileName();
}

}  // namespace

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
