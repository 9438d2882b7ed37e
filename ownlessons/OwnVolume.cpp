#include "ownlessons/OwnVolume.h"

#include "ownlessons/FileTransaction.h"
#include "course/CourseFiles.h"
#include "course/TimingFile.h"
#include "course/VideoReference.h"
#include "course/WordTimesFile.h"
#include "platform/audio/GstDurationScan.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

const QByteArray kLineEnd = "\r\n";
// The readers' line buffer holds 997 bytes, the line end included.
constexpr int kLongestLine = 997;

QByteArray readAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

int headerCount(const QList<QByteArray>& lines)
{
    int count = 0;
    for (const QByteArray& line : lines)
        count += line.startsWith('$') ? 1 : 0;
    return count;
}

// One record line: no line end inside, not empty (the data would end there)
// and not starting a section.
QByteArray recordLine(const QString& text)
{
    QString line = text.simplified();
    if (line.isEmpty())
        line = " ";
    if (line.startsWith('$'))
        line.replace(0, 1, QChar(0xFF04));
    return encodeCourseText(line);
}

QString fileName(const QString& volumeFolder, int position, const char* extension)
{
    return lessonFileBase(QFileInfo(volumeFolder).fileName(), position) + extension;
}

// The name the volume holds lesson `position`'s file under, in whatever
// letter case; empty when it has none.
QString spelledLessonFile(const QString& volumeFolder, int position, const char* extension)
{
    return spelledFileName(volumeFolder, fileName(volumeFolder, position, extension));
}

// The name of a volume file as the volume spells it, or as the course names
// it when the volume has none yet.
QString volumeFile(const QString& volumeFolder, const char* name)
{
    return QFileInfo(courseFile(volumeFolder, name)).fileName();
}

// The file `spelled` of lesson `from` named for lesson `to` in the same
// letter case: TLX1003.MP3 becomes TLX1002.MP3.
QString renumbered(const QString& volumeFolder, const QString& spelled, int from, int to)
{
    const QString volume = QFileInfo(volumeFolder).fileName();
    const QString base = lessonFileBase(volume, from);
    return spelled.left(3) + lessonFileBase(volume, to).mid(3) + spelled.mid(base.size());
}

// Each lesson file's extension: its recording, its timing file and its word times.
const char* const kLessonFileExtensions[] = {".mp3", ".lrc", kWordTimesExtension, kUnsureExtension};

// The video lesson `position` refers to, when it is the lesson's own: a
// file in the volume folder named as the lesson's files are. Empty for a
// video elsewhere (the learner's, never touched) or none.
QString ownVideo(const QString& volumeFolder, int position, const QString& referenceName)
{
    const QString video = videoOfReference(readAll(QDir(volumeFolder).filePath(referenceName)), volumeFolder);
    const QFileInfo file(video);
    const QString base = lessonFileBase(QFileInfo(volumeFolder).fileName(), position);
    const bool inFolder = file.absolutePath() == QFileInfo(volumeFolder).absoluteFilePath();
    const bool lessonFile = file.suffix().compare("mp3", Qt::CaseInsensitive) == 0
                            || file.suffix().compare("lrc", Qt::CaseInsensitive) == 0;
    if (video.isEmpty() || !inFolder || lessonFile || !file.isFile()
        || file.completeBaseName().compare(base, Qt::CaseInsensitive) != 0)
        return {};
    return file.fileName();
}

// A lesson's video reference, and the video copied in with it, removed with
// the lesson or renamed down with a later one. A reference to a video
// elsewhere keeps its bytes; one to a copied-in video names its new name.
void stageVideoChanges(FileTransaction& transaction, const QString& volumeFolder, int lessonIndex, int count)
{
    const QDir folder(volumeFolder);
    const QString books = QFileInfo(volumeFolder).absolutePath();
    const QString removed = spelledLessonFile(volumeFolder, lessonIndex + 1, kVideoReferenceExtension);
    if (!removed.isEmpty()) {
        if (const QString video = ownVideo(volumeFolder, lessonIndex + 1, removed); !video.isEmpty())
            transaction.remove(video);
        transaction.remove(removed);
    }
    for (int position = lessonIndex + 2; position <= count; ++position) {
        const QString spelled = spelledLessonFile(volumeFolder, position, kVideoReferenceExtension);
        if (spelled.isEmpty())
            continue;
        const QString renamed = renumbered(volumeFolder, spelled, position, position - 1);
        const QString video = ownVideo(volumeFolder, position, spelled);
        if (video.isEmpty()) {
            transaction.rename(spelled, renamed);
            continue;
        }
        const QString videoRenamed = renumbered(volumeFolder, video, position, position - 1);
        transaction.rename(video, videoRenamed);
        transaction.write(renamed, videoReferenceBytes(folder.filePath(videoRenamed), volumeFolder, books));
        transaction.remove(spelled);
    }
}

}  // namespace

const char* const kUnsureExtension = ".unsure.txt";

QByteArray unsureBytes(const LessonSentences& sentences)
{
    QByteArray bytes;
    for (int k = 0; k < sentences.size(); ++k) {
        if (sentences.at(k).unsure)
            bytes += QByteArray::number(k + 1) + '\n';
    }
    return bytes;
}

std::vector<bool> unsureFrom(const QByteArray& bytes, int count)
{
    std::vector<bool> unsure(size_t(std::max(count, 0)), false);
    for (const QByteArray& line : bytes.split('\n')) {
        bool number = false;
        const int k = line.trimmed().toInt(&number) - 1;
        if (number && k >= 0 && k < count)
            unsure[size_t(k)] = true;
    }
    return unsure;
}

int lessonCount(const QString& volumeFolder)
{
    return headerCount(courseLines(readAll(QDir(volumeFolder).filePath(volumeFile(volumeFolder, kLessonText)))));
}

LessonBytes lessonBytes(const NewLesson& lesson)
{
    LessonBytes bytes;
    if (lesson.recordingSeconds >= timingfile::kLongestRecording) {
        bytes.error = QStringLiteral("录音长 %1 分钟，课程的时间文件最长只能记到 99 分 59 秒")
                          .arg(int(lesson.recordingSeconds / 60));
        return bytes;
    }
    QList<QByteArray> lessonLines{"$" + recordLine(lesson.title)};
    QList<QByteArray> timingLines;
    for (int i = 0; i < lesson.sentences.size(); ++i) {
        const LessonSentence& s = lesson.sentences.at(i);
        // The label "1." goes before the text, so a full stop in the
        // sentence stays its own.
        const QByteArray english = QByteArray::number(i + 1) + ". " + recordLine(s.english);
        if (english.size() + kLineEnd.size() > kLongestLine) {
            bytes.error = QStringLiteral("第 %1 句太长（%2 字节），课文的一行最多 %3 字节；请在文本里把它分开")
                              .arg(i + 1)
                              .arg(english.size())
                              .arg(kLongestLine - 2);
            return bytes;
        }
        lessonLines << english << recordLine(s.chinese).left(kLongestLine - 2);
        timingLines << timingfile::line(s.start, recordLine(s.english).left(780));
    }
    QList<QByteArray> wordLines{"$" + recordLine(lesson.title)};
    for (const WordEntry& w : lesson.words)
        wordLines << recordLine(w.word) << recordLine(w.ipa) << recordLine(w.meaning);
    bytes.lesson = joinedCourseLines(lessonLines);
    bytes.words = joinedCourseLines(wordLines);
    bytes.timing = joinedCourseLines(timingLines);
    return bytes;
}

StagedLesson stageLesson(FileTransaction& transaction, const QString& volumeFolder, const NewLesson& lesson)
{
    StagedLesson staged;
    const LessonBytes bytes = lessonBytes(lesson);
    if (!bytes.error.isEmpty()) {
        staged.error = bytes.error;
        return staged;
    }
    const QDir folder(volumeFolder);
    const QString lessonName = volumeFile(volumeFolder, kLessonText);
    const QString wordName = volumeFile(volumeFolder, kWordList);
    const QList<QByteArray> lessons = courseLines(readAll(folder.filePath(lessonName)));
    QList<QByteArray> words = courseLines(readAll(folder.filePath(wordName)));
    staged.lessonIndex = headerCount(lessons);
    // Word sections stand by position: a lesson without one gets an empty one.
    for (int missing = headerCount(words); missing < staged.lessonIndex; ++missing)
        words << "$";
    const int position = staged.lessonIndex + 1;
    QStringList texts;
    QList<WordTimes> timed;
    for (const LessonSentence& sentence : lesson.sentences) {
        texts << sentence.english;
        timed << sentence.words;
    }
    const QByteArray wordTimes = wordTimesBytes(texts, timed);
    const QByteArray unsure = unsureBytes(lesson.sentences);
    if (!transaction.write(lessonName, joinedCourseLines(lessons) + bytes.lesson)
        || !transaction.write(wordName, joinedCourseLines(words) + bytes.words)
        || !transaction.write(fileName(volumeFolder, position, ".lrc"), bytes.timing)
        || (!wordTimes.isEmpty()
            && !transaction.write(fileName(volumeFolder, position, kWordTimesExtension), wordTimes))
        || (!unsure.isEmpty() && !transaction.write(fileName(volumeFolder, position, kUnsureExtension), unsure))) {
        staged.error = transaction.error();
        return staged;
    }
    staged.lessonFile = transaction.stagedPathOf(lessonName);
    staged.wordFile = transaction.stagedPathOf(wordName);
    staged.timingFile = transaction.stagedPathOf(fileName(volumeFolder, position, ".lrc"));
    for (const char* extension : {".mp3", ".lrc"})
        staged.files << folder.filePath(fileName(volumeFolder, position, extension));
    if (!wordTimes.isEmpty())
        staged.files << folder.filePath(fileName(volumeFolder, position, kWordTimesExtension));
    if (!unsure.isEmpty())
        staged.files << folder.filePath(fileName(volumeFolder, position, kUnsureExtension));
    staged.files << folder.filePath(lessonName) << folder.filePath(wordName);
    return staged;
}

double moveSentenceStart(const QString& volumeFolder, int lessonIndex, int sentence, double delta,
                         double recordingSeconds, QString* error)
{
    const QString spelled = spelledLessonFile(volumeFolder, lessonIndex + 1, ".lrc");
    const QString path = QDir(volumeFolder).filePath(spelled);
    const std::optional<double> before =
        spelled.isEmpty() ? std::nullopt : timingfile::startOf(courseLines(readAll(path)).value(sentence));
    if (!before) {
        *error = QStringLiteral("“%1”里没有第 %2 句的时间").arg(path).arg(sentence + 1);
        return -1;
    }
    const std::vector<double> set =
        setSentenceStarts(volumeFolder, lessonIndex, {{sentence, *before + delta}}, recordingSeconds, error);
    return set.empty() ? -1 : set.front();
}

std::vector<double> setSentenceStarts(const QString& volumeFolder, int lessonIndex,
                                      std::vector<std::pair<int, double>> starts, double recordingSeconds,
                                      QString* error)
{
    const QString spelled = spelledLessonFile(volumeFolder, lessonIndex + 1, ".lrc");
    const QString name = spelled.isEmpty() ? fileName(volumeFolder, lessonIndex + 1, ".lrc") : spelled;
    const QString path = QDir(volumeFolder).filePath(name);
    QList<QByteArray> lines = courseLines(readAll(path));
    // Each start is held between its neighbours as they are when it moves:
    // starts moving later go from the last, those moving earlier from the
    // first, so no start is held back by one that is about to move away.
    std::vector<std::pair<int, double>> deltas;
    for (const auto& [sentence, start] : starts) {
        const std::optional<double> before = timingfile::startOf(lines.value(sentence));
        if (!before) {
            *error = QStringLiteral("“%1”里没有第 %2 句的时间").arg(path).arg(sentence + 1);
            return {};
        }
        deltas.emplace_back(sentence, start - *before);
    }
    std::stable_sort(deltas.begin(), deltas.end(), [](const auto& a, const auto& b) {
        if ((a.second > 0) != (b.second > 0))
            return a.second > 0;
        return a.second > 0 ? a.first > b.first : a.first < b.first;
    });
    const QString wordTimes = spelledLessonFile(volumeFolder, lessonIndex + 1, kWordTimesExtension);
    QByteArray words;
    if (!wordTimes.isEmpty()) {
        QFile file(QDir(volumeFolder).filePath(wordTimes));
        if (!file.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("无法读取“%1”：%2").arg(file.fileName(), file.errorString());
            return {};
        }
        words = file.readAll();
    }
    std::map<int, double> set;
    for (const auto& [sentence, delta] : deltas) {
        const double before = *timingfile::startOf(lines.at(sentence));
        const double start = *timingfile::moveStart(&lines, sentence, delta, recordingSeconds);
        // The first word starts as much later or earlier as its sentence.
        words = withFirstWordMoved(words, sentence, start - before);
        set[sentence] = start;
    }
    FileTransaction transaction(volumeFolder);
    bool written = transaction.write(name, joinedCourseLines(lines));
    if (written && !wordTimes.isEmpty())
        written = transaction.write(wordTimes, words);
    // The starts set by hand are no longer unsure.
    const QString unsureName = spelledLessonFile(volumeFolder, lessonIndex + 1, kUnsureExtension);
    if (written && !unsureName.isEmpty()) {
        std::vector<bool> unsure = unsureFrom(readAll(QDir(volumeFolder).filePath(unsureName)), int(lines.size()));
        LessonSentences marked(qsizetype(unsure.size()));
        for (size_t k = 0; k < unsure.size(); ++k)
            marked[qsizetype(k)].unsure = unsure[k] && !set.count(int(k));
        const QByteArray left = unsureBytes(marked);
        if (left.isEmpty())
            transaction.remove(unsureName);
        else
            written = transaction.write(unsureName, left);
    }
    if (!written || !transaction.commit()) {
        *error = transaction.error();
        return {};
    }
    std::vector<double> result;
    for (const auto& [sentence, start] : starts)
        result.push_back(set[sentence]);
    return result;
}

LessonTimes lessonTimes(const QString& volumeFolder, int lessonIndex)
{
    LessonTimes times;
    const QDir folder(volumeFolder);
    const QString timing = spelledLessonFile(volumeFolder, lessonIndex + 1, ".lrc");
    if (timing.isEmpty()) {
        times.error = QStringLiteral("“%1”没有第 %2 课的时间文件").arg(volumeFolder).arg(lessonIndex + 1);
        return times;
    }
    // A line without a whole stamp keeps its place, at the start before it.
    for (const QByteArray& line : courseLines(readAll(folder.filePath(timing))))
        times.starts.push_back(timingfile::startOf(line).value_or(times.starts.empty() ? 0 : times.starts.back()));
    const QString wordTimes = spelledLessonFile(volumeFolder, lessonIndex + 1, kWordTimesExtension);
    times.firstWords = wordTimes.isEmpty()
                           ? std::vector<double>(times.starts.size(), -1)
                           : firstWordStarts(readAll(folder.filePath(wordTimes)), int(times.starts.size()));
    const QString unsure = spelledLessonFile(volumeFolder, lessonIndex + 1, kUnsureExtension);
    times.unsure = unsureFrom(unsure.isEmpty() ? QByteArray() : readAll(folder.filePath(unsure)), int(times.starts.size()));
    const QString recording = spelledLessonFile(volumeFolder, lessonIndex + 1, ".mp3");
    if (!recording.isEmpty()) {
        times.recording = folder.filePath(recording);
        times.recordingSeconds = scanMpegAudioDuration(times.recording).value_or(0);
    }
    return times;
}

LessonVideo lessonVideo(const QString& volumeFolder, int lessonIndex)
{
    LessonVideo video;
    const QString reference = spelledLessonFile(volumeFolder, lessonIndex + 1, kVideoReferenceExtension);
    if (reference.isEmpty())
        return video;
    const QString own = ownVideo(volumeFolder, lessonIndex + 1, reference);
    video.copiedIn = !own.isEmpty();
    video.path = video.copiedIn ? QDir(volumeFolder).absoluteFilePath(own)
                                : videoOfReference(readAll(QDir(volumeFolder).filePath(reference)), volumeFolder);
    return video;
}

QString removeLesson(const QString& volumeFolder, int lessonIndex)
{
    const QDir folder(volumeFolder);
    const QString lessonName = volumeFile(volumeFolder, kLessonText);
    const QString wordName = volumeFile(volumeFolder, kWordList);
    QList<QByteArray> lessons = courseLines(readAll(folder.filePath(lessonName)));
    QList<QByteArray> words = courseLines(readAll(folder.filePath(wordName)));
    const int count = headerCount(lessons);
    if (lessonIndex < 0 || lessonIndex >= count)
        return QStringLiteral("这一册没有第 %1 课").arg(lessonIndex + 1);
    const auto [first, end] = courseSection(lessons, lessonIndex);
    lessons.erase(lessons.begin() + first, lessons.begin() + end);
    const auto [wordFirst, wordEnd] = courseSection(words, lessonIndex);
    if (wordFirst >= 0)
        words.erase(words.begin() + wordFirst, words.begin() + wordEnd);

    FileTransaction transaction(volumeFolder);
    if (!transaction.write(lessonName, joinedCourseLines(lessons)) || !transaction.write(wordName, joinedCourseLines(words)))
        return transaction.error();
    // A lesson may lack a file (no recording yet, no word times) or carry it
    // in other letter case: what is there is renamed, as it is spelled.
    for (const char* extension : kLessonFileExtensions) {
        const QString removed = spelledLessonFile(volumeFolder, lessonIndex + 1, extension);
        if (!removed.isEmpty())
            transaction.remove(removed);
        for (int position = lessonIndex + 2; position <= count; ++position) {
            const QString spelled = spelledLessonFile(volumeFolder, position, extension);
            if (!spelled.isEmpty())
                transaction.rename(spelled, renumbered(volumeFolder, spelled, position, position - 1));
        }
    }
    stageVideoChanges(transaction, volumeFolder, lessonIndex, count);
    return transaction.commit() ? QString() : transaction.error();
}
