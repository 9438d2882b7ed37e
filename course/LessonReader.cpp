#include "course/LessonReader.h"

#include "course/CourseFiles.h"
#include "course/TimingFile.h"
#include "course/VideoReference.h"
#include "course/WordTimesFile.h"
#include "coursedata/LessonText.h"
#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

QString withoutLineEnd(QString text)
{
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

QString courseText(const char* bytes) { return decodeCourseText(QByteArray(bytes)).trimmed(); }

QByteArray path(const QString& file) { return QFile::encodeName(file); }

// What keeps a lesson's sentences from being heard: its recording or timing
// file missing. Empty when both are there.
QString missingFile(const CourseLesson& lesson)
{
    for (const auto& [file, what] : {std::pair{lesson.timing, "时间文件"}, std::pair{lesson.recording, "录音"}}) {
        if (!QFileInfo::exists(file))
            return QString("课文“%1”缺少%2：%3").arg(lesson.title, what, file);
    }
    return {};
}

// The word times an own lesson keeps beside its timing file, one list per
// sentence; none for a shipped lesson or a lesson without the file.
void readWordTimes(const CourseVolume& volume, const QString& base, CourseLesson& lesson)
{
    if (!volume.own)
        return;
    QFile file(courseFile(volume.folder, base + kWordTimesExtension));
    if (!file.open(QIODevice::ReadOnly))
        return;
    QStringList texts;
    for (const CourseSentence& sentence : lesson.sentences)
        texts << sentence.english;
    const QList<WordTimes> words = wordTimesFrom(file.readAll(), texts);
    for (int n = 0; n < lesson.sentences.size(); ++n)
        lesson.sentences[n].words = words.value(n);
}

// The video an own lesson names beside its timing file: there, or moved away.
void readVideo(const CourseVolume& volume, const QString& base, CourseLesson& lesson)
{
    if (!volume.own)
        return;
    QFile file(courseFile(volume.folder, base + kVideoReferenceExtension));
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString video = videoOfReference(file.read(64 * 1024), volume.folder);
    if (video.isEmpty())
        return;
    (QFileInfo(video).isFile() ? lesson.video : lesson.missingVideo) = video;
}

}  // namespace

LessonReader::LessonReader(CourseLibrary& library) : library_(library) {}

QStringList LessonReader::titles(const CourseVolume& volume)
{
    QStringList titles;
    for (const QString& title : library_.dllFillLsLesson(courseFile(volume.folder, kLessonText)))
        titles << withoutLineEnd(title);
    return titles;
}

CourseLesson LessonReader::lesson(const CourseVolume& volume, int index)
{
    CourseLesson lesson;
    lesson.index = index;
    const QStringList titles = this->titles(volume);
    if (index < 0 || index >= titles.size()) {
        lesson.error = QString("课本“%1”中没有第 %2 课").arg(volume.name).arg(index + 1);
        return lesson;
    }
    lesson.title = titles[index];
    const QString base = lessonFileBase(volume.name, index + 1);
    lesson.recording = courseFile(volume.folder, base + ".mp3");
    lesson.timing = courseFile(volume.folder, base + ".lrc");

    coursedata::SentenceReader text(path(courseFile(volume.folder, kLessonText)).constData(), index);
    if (!text.isOpen()) {
        lesson.error = QString("无法读取课本“%1”的 %2").arg(volume.name, kLessonText);
        return lesson;
    }
    lesson.error = missingFile(lesson);
    if (!lesson.error.isEmpty())
        return lesson;
    while (text.next())
        lesson.sentences.append({courseText(text.english()), courseText(text.chinese())});

    const int count = lesson.sentences.size();
    std::vector<double> times;
    timingfile::readStarts(library_, lesson.timing, count, &times);
    for (int n = 0; n < count; ++n) {
        lesson.sentences[n].start = times[n];
        lesson.sentences[n].end = n + 1 < count ? times[n + 1] : -1;
    }
    readWordTimes(volume, base, lesson);
    readVideo(volume, base, lesson);
    return lesson;
}

QList<WordListEntry> LessonReader::words(const CourseVolume& volume, int index)
{
    QList<WordListEntry> entries;
    if (index < 0)
        return entries;
    coursedata::WordEntryReader list(path(courseFile(volume.folder, kWordList)).constData(), index);
    while (list.next())
        entries.append({courseText(list.word()), courseText(list.phonetic()), courseText(list.meaning())});
    return entries;
}
