#include "anki/CourseSentences.h"

#include "platform/system/CourseLibrary.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

const char* const kLessonText = "lesson.txt";

QString withoutLineEnd(QString text)
{
    while (text.endsWith('\n') || text.endsWith('\r'))
        text.chop(1);
    return text;
}

// A file of the volume by name; course folders copied from other systems
// carry names such as TLX1001.MP3. Empty when there is none.
QString volumeFile(const CourseVolume& volume, const QString& fileName)
{
    const QDir folder(volume.folder);
    if (folder.exists(fileName))
        return folder.filePath(fileName);
    for (const QString& entry : folder.entryList(QDir::Files)) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return folder.filePath(entry);
    }
    return {};
}

QString recordingBaseName(const CourseVolume& volume, int lessonIndex)
{
    return QString("tlx%1%2").arg(volume.number).arg(lessonIndex + 1, 3, 10, QChar('0'));
}

// The English and Chinese lines of lesson `lessonIndex`, in the lesson file's
// own reading: '$' headers open lessons, an empty line ends the data, and
// each English line is followed by its Chinese line.
QList<QPair<QByteArray, QByteArray>> lessonLines(const QByteArray& file, int lessonIndex)
{
    QList<QByteArray> lines = file.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QList<QPair<QByteArray, QByteArray>> pairs;
    int header = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines[i];
        if (line.isEmpty() || line.startsWith('\r'))
            break;
        if (line.startsWith('$')) {
            if (header == lessonIndex)
                break;
            ++header;
            continue;
        }
        if (header != lessonIndex)
            continue;
        const QByteArray chinese = i + 1 < lines.size() ? lines[++i] : QByteArray();
        pairs.append({line, chinese});
    }
    return pairs;
}

// The sentence of an English line: what follows its label, which ends at the
// line's first full stop; a line without one is all sentence.
QString sentenceText(const QByteArray& englishLine)
{
    const int stop = englishLine.indexOf('.');
    return decodeCourseText(stop < 0 ? englishLine : englishLine.mid(stop + 1)).trimmed();
}

}  // namespace

CourseVolume findVolume(const QString& name, const QStringList& booksFolders)
{
    CourseVolume volume;
    volume.name = name;
    // Volume folders are plain names, without a dot: nothing outside the
    // books folders is a volume.
    if (name.isEmpty() || name.contains('.') || name.contains('/'))
        return volume;
    for (const QString& books : booksFolders) {
        const QFileInfo folder(QDir(books).filePath(name));
        if (!books.isEmpty() && folder.isDir())
            volume.folder = folder.filePath();
    }
    volume.number = volumeNumber(name);
    return volume;
}

QStringList lessonTitles(CourseLibrary& library, const CourseVolume& volume)
{
    QStringList titles;
    for (const QString& title : library.dllFillLsLesson(volumeFile(volume, kLessonText)))
        titles << withoutLineEnd(title);
    return titles;
}

LessonSentences lessonSentences(CourseLibrary& library, const CourseVolume& volume, int lessonIndex)
{
    LessonSentences result;
    const QStringList titles = lessonTitles(library, volume);
    if (lessonIndex < 0 || lessonIndex >= titles.size()) {
        result.error = QString("课本“%1”中没有第 %2 课").arg(volume.name).arg(lessonIndex + 1);
        return result;
    }
    QFile lessonFile(volumeFile(volume, kLessonText));
    if (!lessonFile.open(QIODevice::ReadOnly)) {
        result.error = QString("无法读取课本“%1”的 %2").arg(volume.name, kLessonText);
        return result;
    }
    const auto lines = lessonLines(lessonFile.readAll(), lessonIndex);
    const QString base = recordingBaseName(volume, lessonIndex);
    const QString timing = volumeFile(volume, base + ".lrc");
    const QString recording = volumeFile(volume, base + ".mp3");
    if (timing.isEmpty() || recording.isEmpty()) {
        result.error = QString("课文“%1”缺少%2：%3")
                           .arg(titles[lessonIndex], timing.isEmpty() ? "时间文件" : "录音",
                                QDir(volume.folder).filePath(base + (timing.isEmpty() ? ".lrc" : ".mp3")));
        return result;
    }
    const int count = lines.size();
    std::vector<double> times(count + 2, 0.0);
    library.dllReadAllTimeInfo(timing, times.data(), count + 2);
    for (int n = 0; n < count; ++n) {
        ExportSentence sentence;
        sentence.volume = volume.name;
        sentence.lessonTitle = titles[lessonIndex];
        sentence.number = n + 1;
        sentence.english = sentenceText(lines[n].first);
        sentence.chinese = decodeCourseText(lines[n].second).trimmed();
        sentence.recording = recording;
        sentence.start = times[n];
        sentence.end = n + 1 < count ? times[n + 1] : -1;
        result.sentences << sentence;
    }
    return result;
}
