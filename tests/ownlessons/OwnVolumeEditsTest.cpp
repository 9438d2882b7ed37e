// The learner's changes to an own volume read back from its files: lessons
// staged with word times made by hand, a sentence's start moved (Alt+←/→)
// and a lesson removed (删除本课), also when a lesson's files are missing or
// written in other letter case, as the window accepts them.

#include "ownlessons/FileTransaction.h"
#include "course/VideoReference.h"
#include "ownlessons/OwnVolume.h"
#include "course/WordTimesFile.h"
#include "platform/system/CourseNames.h"
#include "platform/system/CourseText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

const QString kVolume = QStringLiteral("我的第2册");

// Three lessons: two with word times, one from before word times were kept.
QList<NewLesson> madeLessons()
{
    NewLesson greetings{"Greetings",
                        {{"Good morning, Anna.", "早上好，安娜。", 0.40,
                          {{0, 4, 0.52, 0.80}, {5, 7, 0.80, 1.20}, {14, 4, 1.35, 1.80}}},
                         {"How are you?", "", 2.10, {{0, 3, 2.30, 2.50}, {4, 3, 2.50, 2.62}, {8, 3, 2.62, 2.90}}}},
                        {},
                        4.0};
    NewLesson trains{"Trains",
                     {{"The train leaves at nine.", "", 0.30, {{0, 3, 0.32, 0.36}, {4, 5, 0.36, 0.70}, {10, 6, 0.70, 1.10}}},
                      {"We will meet at the station.", "", 2.50, {{0, 2, 2.60, 2.75}, {3, 4, 2.75, 3.00}}}},
                     {},
                     4.5};
    NewLesson older{"Older", {{"See you later.", "", 0.20, {}}, {"Goodbye.", "", 1.50, {}}}, {}, 3.0};
    return {greetings, trains, older};
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A lesson as one line of text: title, recording, each sentence's start and
// its words' places and times.
std::string summary(const NewLesson& lesson, const QByteArray& recording)
{
    QString text = lesson.title + " | " + recording;
    for (const LessonSentence& s : lesson.sentences) {
        text += QString(" | %1:").arg(s.start, 0, 'f', 2);
        for (const WordTime& w : s.words)
            text += QString(" %1+%2 %3-%4").arg(w.from).arg(w.length).arg(w.start, 0, 'f', 3).arg(w.end, 0, 'f', 3);
    }
    return text.toStdString();
}

QByteArray lessonBytes(const QString& folder, int position, const QString& extension)
{
    const QString spelled =
        spelledFileName(folder, QString("tlx2%1%2").arg(position, 3, 10, QChar('0')).arg(extension));
    return spelled.isEmpty() ? QByteArray() : bytesOf(folder + "/" + spelled);
}

QStringList titles(const QString& folder)
{
    QStringList titles;
    for (const QByteArray& line : bytesOf(folder + "/" + spelledFileName(folder, "lesson.txt")).split('\n')) {
        if (line.startsWith('$'))
            titles << decodeCourseText(line.mid(1)).trimmed();
    }
    return titles;
}

// Lesson `position` as its files hold it, its texts those of `made`.
std::string readBack(const QString& folder, int position, NewLesson made)
{
    made.title = titles(folder).value(position - 1);
    const QList<QByteArray> timing = lessonBytes(folder, position, ".lrc").split('\n');
    QStringList texts;
    for (int n = 0; n < made.sentences.size(); ++n) {
        const QByteArray line = timing.value(n);
        made.sentences[n].start = line.mid(1, 2).toInt() * 60 + line.mid(4, 5).toDouble();
        texts << made.sentences.at(n).english;
    }
    const QList<WordTimes> words = wordTimesFrom(lessonBytes(folder, position, ".wordtimes.tsv"), texts);
    for (int n = 0; n < made.sentences.size(); ++n)
        made.sentences[n].words = words.at(n);
    return summary(made, lessonBytes(folder, position, ".mp3"));
}

struct Edit {
    enum { None, Move, Remove } kind;
    int lesson;  // from 0
    int sentence = 0;
    double seconds = 0;
};

// The made lessons and their recordings as an edit should leave them.
using Expected = std::function<void(QList<NewLesson>&, QList<QByteArray>&)>;

void unchanged(QList<NewLesson>&, QList<QByteArray>&) {}

Expected moved(int lesson, int sentence, double start, double firstWordStart = -1)
{
    return [=](QList<NewLesson>& lessons, QList<QByteArray>&) {
        LessonSentence& s = lessons[lesson].sentences[sentence];
        s.start = start;
        if (firstWordStart >= 0)
            s.words[0].start = firstWordStart;
    };
}

struct EditCase {
    const char* name;
    // Renames and removals made in the volume before the edit.
    std::function<void(QDir&)> before;
    Edit edit;
    // The made lessons at positions 1, 2, … afterwards.
    QList<int> lessons;
    Expected after;
    QStringList files;
    // What else must hold afterwards, in the volume folder.
    std::function<void(const QDir&)> alsoTrue = {};
};

void nothing(QDir&) {}

QString videoNamedBy(const QDir& volume, const QString& reference)
{
    return videoOfReference(bytesOf(volume.filePath(reference)), volume.path());
}

// Lesson 2 refers to the learner's video beside the volume, lesson 3 to a
// video copied in.
void videoLessons(QDir& volume)
{
    QFile outside(volume.filePath("../film.mkv"));
    ASSERT_TRUE(outside.open(QIODevice::WriteOnly));
    outside.write("the learner's film");
    outside.close();
    QFile copied(volume.filePath("tlx2003.mkv"));
    ASSERT_TRUE(copied.open(QIODevice::WriteOnly));
    copied.write("a copied film");
    copied.close();
    const QString books = QFileInfo(volume.path()).absolutePath();
    for (const auto& [reference, video] : {std::pair{"tlx2002.video.txt", "../film.mkv"}, {"tlx2003.video.txt", "tlx2003.mkv"}}) {
        QFile file(volume.filePath(reference));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(videoReferenceBytes(volume.filePath(video), volume.path(), books));
    }
}

void learnersFilmKept(const QDir& volume)
{
    EXPECT_EQ(bytesOf(volume.filePath("../film.mkv")), "the learner's film");
}

const QStringList kCourseFiles = {"lesson.txt", "words.txt"};
const QStringList kAllFiles = QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc",
                                          "tlx2002.mp3", "tlx2002.wordtimes.tsv", "tlx2003.lrc", "tlx2003.mp3"}
                              + kCourseFiles;

TEST(OwnVolumeEdits, WordTimesAndFilesFollowEveryEdit)
{
    const QList<EditCase> cases = {
        {"staged_lessons_read_back", nothing, {Edit::None, 0}, {0, 1, 2}, unchanged, kAllFiles},
        {"move_later", nothing, {Edit::Move, 0, 1, 0.05}, {0, 1, 2}, moved(0, 1, 2.15, 2.35), kAllFiles},
        {"move_earlier_held_after_the_previous_start", nothing, {Edit::Move, 0, 1, -5.0}, {0, 1, 2},
         moved(0, 1, 0.41, 0.61), kAllFiles},
        {"move_keeps_the_first_word_before_its_end", nothing, {Edit::Move, 1, 0, 0.05}, {0, 1, 2},
         moved(1, 0, 0.35, 0.35), kAllFiles},
        {"move_without_word_times", nothing, {Edit::Move, 2, 0, 0.05}, {0, 1, 2}, moved(2, 0, 0.25), kAllFiles},
        {"move_in_other_letter_case",
         [](QDir& d) {
             d.rename("tlx2001.lrc", "TLX2001.LRC");
             d.rename("tlx2001.wordtimes.tsv", "TLX2001.WORDTIMES.TSV");
         },
         {Edit::Move, 0, 1, 0.05}, {0, 1, 2}, moved(0, 1, 2.15, 2.35),
         QStringList{"TLX2001.LRC", "TLX2001.WORDTIMES.TSV", "tlx2001.mp3", "tlx2002.lrc", "tlx2002.mp3",
                     "tlx2002.wordtimes.tsv", "tlx2003.lrc", "tlx2003.mp3"}
             + kCourseFiles},
        {"remove_first", nothing, {Edit::Remove, 0}, {1, 2}, unchanged,
         QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc", "tlx2002.mp3"}
             + kCourseFiles},
        {"remove_with_a_later_recording_missing", [](QDir& d) { d.remove("tlx2003.mp3"); }, {Edit::Remove, 1}, {0, 2},
         [](QList<NewLesson>&, QList<QByteArray>& recordings) { recordings[2].clear(); },
         QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc"} + kCourseFiles},
        {"remove_with_files_in_other_letter_case",
         [](QDir& d) {
             d.rename("tlx2001.lrc", "TLX2001.LRC");
             d.rename("tlx2002.wordtimes.tsv", "Tlx2002.WordTimes.tsv");
             d.rename("tlx2003.mp3", "TLX2003.MP3");
         },
         {Edit::Remove, 0}, {1, 2}, unchanged,
         QStringList{"TLX2002.MP3", "Tlx2001.WordTimes.tsv", "tlx2001.lrc", "tlx2001.mp3", "tlx2002.lrc"}
             + kCourseFiles},
        {"remove_with_the_course_files_in_other_letter_case",
         [](QDir& d) {
             d.rename("lesson.txt", "LESSON.TXT");
             d.rename("words.txt", "Words.txt");
         },
         {Edit::Remove, 2}, {0, 1}, unchanged,
         QStringList{"LESSON.TXT", "Words.txt", "tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc",
                     "tlx2002.mp3", "tlx2002.wordtimes.tsv"}},
        {"remove_before_video_lessons", videoLessons, {Edit::Remove, 0}, {1, 2}, unchanged,
         QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2001.video.txt", "tlx2002.lrc",
                     "tlx2002.mp3", "tlx2002.mkv", "tlx2002.video.txt"}
             + kCourseFiles,
         [](const QDir& volume) {
             learnersFilmKept(volume);
             EXPECT_EQ(videoNamedBy(volume, "tlx2001.video.txt"), QFileInfo(volume.filePath("../film.mkv")).absoluteFilePath());
             EXPECT_EQ(videoNamedBy(volume, "tlx2002.video.txt"), volume.absoluteFilePath("tlx2002.mkv"));
             EXPECT_EQ(bytesOf(volume.filePath("tlx2002.mkv")), "a copied film");
             const LessonVideo outside = lessonVideo(volume.path(), 0);
             const LessonVideo copied = lessonVideo(volume.path(), 1);
             EXPECT_EQ(outside.path, QFileInfo(volume.filePath("../film.mkv")).absoluteFilePath());
             EXPECT_FALSE(outside.copiedIn);
             EXPECT_EQ(copied.path, volume.absoluteFilePath("tlx2002.mkv"));
             EXPECT_TRUE(copied.copiedIn);
             EXPECT_TRUE(lessonVideo(volume.path(), 2).path.isEmpty()) << "no such lesson";
         }},
        {"remove_the_lesson_referring_to_the_learners_video", videoLessons, {Edit::Remove, 1}, {0, 2}, unchanged,
         QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc", "tlx2002.mp3",
                     "tlx2002.mkv", "tlx2002.video.txt"}
             + kCourseFiles,
         learnersFilmKept},
        {"remove_the_lesson_with_a_copied_video", videoLessons, {Edit::Remove, 2}, {0, 1}, unchanged,
         QStringList{"tlx2001.lrc", "tlx2001.mp3", "tlx2001.wordtimes.tsv", "tlx2002.lrc", "tlx2002.mp3",
                     "tlx2002.wordtimes.tsv", "tlx2002.video.txt"}
             + kCourseFiles,
         learnersFilmKept},
    };
    const QList<NewLesson> made = madeLessons();
    for (const EditCase& c : cases) {
        QTemporaryDir books;
        const QString folder = books.filePath(kVolume);
        ASSERT_TRUE(QDir().mkpath(folder));
        for (const NewLesson& lesson : made) {
            FileTransaction transaction(folder);
            const QString recording = QString("tlx2%1.mp3").arg(lessonCount(folder) + 1, 3, 10, QChar('0'));
            ASSERT_TRUE(transaction.write(recording, "recording of " + lesson.title.toUtf8()));
            ASSERT_EQ(stageLesson(transaction, folder, lesson).error.toStdString(), "") << c.name;
            ASSERT_TRUE(transaction.commit()) << c.name;
        }
        QDir volume(folder);
        c.before(volume);

        QString error;
        if (c.edit.kind == Edit::Move)
            moveSentenceStart(folder, c.edit.lesson, c.edit.sentence, c.edit.seconds,
                              made.at(c.edit.lesson).recordingSeconds, &error);
        else if (c.edit.kind == Edit::Remove)
            error = removeLesson(folder, c.edit.lesson);
        EXPECT_EQ(error.toStdString(), "") << c.name;

        QList<NewLesson> wanted = made;
        QList<QByteArray> recordings;
        for (const NewLesson& lesson : made)
            recordings << "recording of " + lesson.title.toUtf8();
        c.after(wanted, recordings);
        ASSERT_EQ(titles(folder).size(), c.lessons.size()) << c.name;
        for (int position = 1; position <= c.lessons.size(); ++position) {
            const int lesson = c.lessons.at(position - 1);
            EXPECT_EQ(readBack(folder, position, made.at(lesson)), summary(wanted.at(lesson), recordings.at(lesson)))
                << c.name << ", lesson " << position;
        }
        QStringList files = volume.entryList(QDir::Files | QDir::Hidden);
        QStringList wantedFiles = c.files;
        files.sort();
        wantedFiles.sort();
        EXPECT_EQ(files.join(' ').toStdString(), wantedFiles.join(' ').toStdString()) << c.name;
        if (c.alsoTrue) {
            SCOPED_TRACE(c.name);
            c.alsoTrue(volume);
        }
    }
}

}  // namespace
