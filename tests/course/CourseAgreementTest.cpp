// Unusual lesson files read by every feature wired to the course model: the
// page as the window loads it, the course model, the study record, the daily
// review and the Anki export all see the same sentences, with the same texts
// and ranges.

#include "WindowHarness.h"

#include "anki/CourseSentences.h"
#include "course/Bookshelf.h"
#include "course/LessonReader.h"
#include "course/VideoReference.h"
#include "platform/system/CourseLibrary.h"
#include "shell/review/ReviewSentences.h"
#include "study/DictationText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

const QString kVolume = "Trellis英语第3册";

QByteArray gb(const QString& text) { return QStringEncoder("GB18030").encode(text); }

void writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

// A volume folder with its lesson text, and for the first two lessons a
// recording (any bytes: the window's player is a stand-in) and a timing file
// that starts sentence n at n + 1 seconds.
struct VolumeFiles {
    QString lessonText = "lesson.txt";
    QString recording = "tlx3%1.mp3";
    QString timing = "tlx3%1.lrc";

    void write(const QString& folder, const QByteArray& lesson) const
    {
        writeFile(folder + "/" + lessonText, lesson);
        for (const char* number : {"001", "002"}) {
            writeFile(folder + "/" + recording.arg(number), "ID3");
            QByteArray times;
            for (int n = 0; n < 10; ++n)
                times += QString("[00:%1.00]\r\n").arg(n + 1, 2, 10, QChar('0')).toLatin1();
            writeFile(folder + "/" + timing.arg(number), times);
        }
    }
};

struct Sentence {
    QString english;
    QString chinese;
};

// What the window shows of the lesson it has loaded.
struct PageLesson {
    QString title;
    QString recording;
    std::vector<Sentence> sentences;
    std::vector<double> times;  // times[n], n to the sentence count (its end is the recording's)
};

PageLesson shownLesson(WindowHarness& h)
{
    MainForm& f = h.form();
    PageLesson page;
    page.title = ui(f).lbCurLesson->text();
    page.recording = QFileInfo(h.player().fileName()).absoluteFilePath();
    for (int n = 0; n < f.session().sentenceCount(); ++n) {
        page.sentences.push_back({plainText(f.session().englishElement(n)).trimmed(),
                                  plainText(f.session().chineseElement(n)).trimmed()});
    }
    page.times = f.session().sentenceTimes();
    return page;
}

SentenceKey keyOf(const QString& volume, const QString& lesson, int number)
{
    SentenceKey key;
    key.volume = volume;
    key.lesson = lesson;
    key.number = number;
    return key;
}

void chooseLesson(WindowHarness& h, const QString& volume, int lesson)
{
    NamedControls c = ui(h.form());
    c.cbVolume->setCurrentIndex(c.cbVolume->findText(volume));
    c.lsLesson->setCurrentRow(lesson);
    WindowHarness::settle();
}

// The sentences of `lesson` the study record in the harness's folder holds,
// by number; once each sentence was played its rows are there.
std::vector<Sentence> recordedSentences(WindowHarness& h, const QString& lesson, int count)
{
    std::vector<Sentence> sentences;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "agreement");
        db.setDatabaseName(h.folder() + "/record/study.sqlite");
        QTest::qWaitFor(
            [&] {
                sentences.clear();
                if (!db.open())
                    return false;
                QSqlQuery query(db);
                query.prepare("SELECT english, chinese FROM sentences WHERE volume = ? AND lesson = ? ORDER BY number");
                query.addBindValue(kVolume);
                query.addBindValue(lesson);
                if (query.exec()) {
                    while (query.next())
                        sentences.push_back({query.value(0).toString(), query.value(1).toString()});
                }
                return int(sentences.size()) >= count;
            },
            5000);
    }
    QSqlDatabase::removeDatabase("agreement");
    return sentences;
}

const QString kLongLine = QString(1200, 'a');

// Where a case's volume lies: in the shipped books, or in the learner's own
// with a shipped volume of the same name beside it.
enum class Where { Shipped, OwnOverShipped };

struct Case {
    const char* what;
    QString lessonText;
    int lesson;
    std::vector<Sentence> expected;
    VolumeFiles files = {};
    Where where = Where::Shipped;
};

TEST(CourseAgreement, UnusualLessonFilesReadAlikeByThePageTheModelReviewAndTheAnkiExport)
{
    const Case cases[] = {
        {"labels end at the first full stop; a line without one is all sentence",
         "$Lesson 1 Labels\r\n1. Mr. Smith is here.\r\n史密斯先生在这儿。\r\nMr. Brown came.\r\n布朗先生来了。\r\n"
         "Hello there\r\n你好\r\n",
         0,
         {{"Mr. Smith is here.", "史密斯先生在这儿。"}, {"Brown came.", "布朗先生来了。"}, {"Hello there", "你好"}}},
        {"a missing Chinese line pairs the next English line with it",
         "$Lesson 1 Pairs\r\n1. One.\r\n2. Two.\r\n二。\r\n3. Three.\r\n三。\r\n",
         0,
         {{"One.", "2. Two."}, {"二。", "3. Three."}, {"三。", ""}}},
        {"the last English line without its Chinese line, at the file's end",
         "$Lesson 1 End\r\n1. One.\r\n一。\r\n2. Two.", 0, {{"One.", "一。"}, {"Two.", ""}}},
        {"an empty line ends the data: the lesson after it is listed but empty",
         "$Lesson 1 Gap\r\n1. One.\r\n一。\r\n\r\n2. Two.\r\n二。\r\n$Lesson 2 After the gap\r\n3. Three.\r\n三。\r\n",
         1,
         {}},
        {"an empty line inside a lesson ends it there",
         "$Lesson 1 Gap\r\n1. One.\r\n一。\r\n\r\n2. Two.\r\n二。\r\n", 0, {{"One.", "一。"}}},
        {"a Chinese line that begins with $ is a Chinese line",
         "$Lesson 1 Prices\r\n1. How much?\r\n$5\r\n2. Cheap.\r\n便宜。\r\n$Lesson 2 Next\r\n1. Next.\r\n下一课。\r\n",
         0,
         {{"How much?", "$5"}, {"Cheap.", "便宜。"}}},
        {"names in other letter case",
         "$Lesson 1 Case\r\n1. Upper case.\r\n大写。\r\n$Lesson 2 Case too\r\n1. Still found.\r\n照样找到。\r\n",
         1,
         {{"Still found.", "照样找到。"}},
         {"LESSON.TXT", "TLX3%1.MP3", "Tlx3%1.Lrc"}},
        {"a line longer than the readers' 997 bytes is read in pieces",
         "$Lesson 1 Long\r\n1. " + kLongLine + "\r\n一。\r\n",
         0,
         {{QString(994, 'a'), QString(206, 'a')}, {"一。", ""}}},
        {"markup in a line is shown rendered",
         "$Lesson 1 Markup\r\n1. The <b>last</b> one &amp; all.\r\n<i>最后</i>一个。\r\n",
         0,
         {{"The last one & all.", "最后一个。"}}},
        {"the learner's own volume wins over a shipped one of the same name",
         "$Lesson 1 Own\r\n1. Mine.\r\n我的。\r\n", 0, {{"Mine.", "我的。"}}, {}, Where::OwnOverShipped},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowHarness h(
            [&](const QString& folder) {
                if (c.where == Where::Shipped) {
                    c.files.write(folder + "/books/" + kVolume, gb(c.lessonText));
                } else {
                    c.files.write(folder + "/books/" + kVolume, gb("$Lesson 1 Shipped\r\n1. Theirs.\r\n他们的。\r\n"));
                    c.files.write(folder + "/own/" + kVolume, gb(c.lessonText));
                }
            },
            "own");
        h.load();
        chooseLesson(h, kVolume, c.lesson);
        const PageLesson page = shownLesson(h);
        ASSERT_EQ(page.sentences.size(), c.expected.size());
        for (size_t n = 0; n < c.expected.size(); ++n) {
            EXPECT_EQ(page.sentences[n].english, c.expected[n].english) << n;
            EXPECT_EQ(page.sentences[n].chinese, c.expected[n].chinese) << n;
            h.form().playback().PlaySentence(int(n), true);
        }
        const std::vector<Sentence> recorded = recordedSentences(h, page.title, int(page.sentences.size()));
        ASSERT_EQ(recorded.size(), page.sentences.size());

        const QStringList books{h.folder() + "/books", h.folder() + "/own"};
        CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
        const CourseVolume volume = Bookshelf(books[0], books[1]).volume(kVolume);
        const CourseLesson model = LessonReader(library).lesson(volume, c.lesson);
        const LessonSentences anki = lessonSentences(library, findVolume(kVolume, books), c.lesson);
        ReviewSentences review(library, books);
        ASSERT_EQ(model.error, "");
        ASSERT_EQ(anki.error, "");
        EXPECT_EQ(model.title, page.title);
        EXPECT_EQ(QFileInfo(model.recording).absoluteFilePath(), page.recording);
        ASSERT_EQ(model.sentences.size(), int(page.sentences.size()));
        ASSERT_EQ(anki.sentences.size(), int(page.sentences.size()));
        const int count = int(page.sentences.size());
        for (int n = 0; n < count; ++n) {
            SCOPED_TRACE(n);
            const double pageEnd = n + 1 < count ? page.times[n + 1] : -1;
            EXPECT_EQ(recorded[n].english, page.sentences[n].english);
            EXPECT_EQ(recorded[n].chinese, page.sentences[n].chinese);
            EXPECT_EQ(textOfMarkup(model.sentences[n].english), page.sentences[n].english);
            EXPECT_EQ(textOfMarkup(model.sentences[n].chinese), page.sentences[n].chinese);
            EXPECT_EQ(model.sentences[n].start, page.times[n]);
            EXPECT_EQ(model.sentences[n].end, pageEnd);

            const ExportSentence& card = anki.sentences[n];
            EXPECT_EQ(card.english, model.sentences[n].english);
            EXPECT_EQ(card.chinese, model.sentences[n].chinese);
            EXPECT_EQ(card.lessonTitle, page.title);
            EXPECT_EQ(card.number, n + 1);
            EXPECT_EQ(QFileInfo(card.recording).absoluteFilePath(), page.recording);
            EXPECT_EQ(card.start, page.times[n]);
            EXPECT_EQ(card.end, pageEnd);

            const SentenceSound sound = review.find(keyOf(kVolume, page.title, n));
            EXPECT_EQ(sound.error, "");
            EXPECT_EQ(QFileInfo(sound.recording).absoluteFilePath(), page.recording);
            EXPECT_EQ(sound.start, page.times[n]);
            EXPECT_EQ(sound.end, pageEnd);
        }
        EXPECT_NE(review.find(keyOf(kVolume, page.title, count)).error, "");
    }
}

// Folders the volume list leaves out are no volume for any feature; the
// volumes it lists are read from the folders it names.
TEST(CourseAgreement, TheModelSeesTheVolumesTheListShows)
{
    WindowHarness h(
        [](const QString& folder) {
            for (const char* volume : {"books/Other英语", "books/Trellis英语第3册.old", "books/.Trellis英语第3册",
                                       "own/Audiobook", "own/Audiobook.old", "own/Trellis英语第1册"})
                QDir().mkpath(folder + "/" + volume);
        },
        "own");
    h.load();
    const QStringList books{h.folder() + "/books", h.folder() + "/own"};
    const QList<CourseVolume> volumes = Bookshelf(books[0], books[1]).volumes();
    NamedControls c = ui(h.form());
    ASSERT_EQ(volumes.size(), c.cbVolume->count());
    for (int i = 0; i < c.cbVolume->count(); ++i) {
        EXPECT_EQ(volumes[i].name, c.cbVolume->itemText(i));
        EXPECT_EQ(QFileInfo(volumes[i].folder).absoluteFilePath(),
                  QFileInfo(c.cbVolume->itemData(i).toString()).absoluteFilePath());
        EXPECT_EQ(volumes[i].own, volumes[i].folder.startsWith(books[1] + "/"));
    }
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    ReviewSentences review(library, books);
    for (const QString& unlisted :
         QStringList{"Other英语", "Trellis英语第3册.old", ".Trellis英语第3册", "Audiobook.old", "../own"}) {
        EXPECT_EQ(findVolume(unlisted, books).folder, "") << unlisted.toStdString();
        EXPECT_TRUE(review.find(keyOf(unlisted, "Lesson 1", 0)).error.startsWith("找不到课本")) << unlisted.toStdString();
    }
}

// An own lesson's word times: the window's session and the model hold the same
// words; a sentence whose text changed after its words were timed has none,
// and a shipped volume's file of the same name is not read.
TEST(CourseAgreement, OwnLessonWordTimesReadAlikeByTheWindowAndTheModel)
{
    const QByteArray lesson = gb("$Lesson 1 Timed\r\n1. Good morning.\r\n早上好。\r\n2. Sit down.\r\n坐下。\r\n");
    const QByteArray times = "sentence\tstart\tend\tfrom\tlength\tword\n"
                             "1\t1.100\t1.400\t0\t4\tGood\n"
                             "1\t1.450\t1.900\t5\t7\tmorning\n"
                             "2\t2.100\t2.300\t0\t5\tStand\n";
    WindowHarness h(
        [&](const QString& folder) {
            for (const char* where : {"/books/", "/own/"}) {
                VolumeFiles{}.write(folder + where + kVolume, lesson);
                writeFile(folder + where + kVolume + "/tlx3001.wordtimes.tsv", times);
            }
        },
        "own");
    h.load();
    chooseLesson(h, kVolume, 0);
    const QStringList books{h.folder() + "/books", h.folder() + "/own"};
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const CourseLesson own = LessonReader(library).lesson(Bookshelf(books[0], books[1]).volume(kVolume), 0);
    ASSERT_EQ(own.sentences.size(), 2);
    EXPECT_EQ(own.sentences[0].words, (WordTimes{{0, 4, 1.1, 1.4}, {5, 7, 1.45, 1.9}}));
    EXPECT_EQ(own.sentences[1].words, WordTimes{});
    for (int n = 0; n < 2; ++n)
        EXPECT_EQ(own.sentences[n].words, h.form().session().wordTimes(n)) << n;

    const CourseLesson shipped = LessonReader(library).lesson(Bookshelf(books[0]).volume(kVolume), 0);
    ASSERT_EQ(shipped.sentences.size(), 2);
    EXPECT_EQ(shipped.sentences[0].words, WordTimes{});
}

TEST(CourseModel, ReadsAWordListSpelledInOtherLetterCaseWithAnEntryCutShort)
{
    QTemporaryDir dir;
    const QString folder = dir.path() + "/" + kVolume;
    writeFile(folder + "/Words.TXT",
              gb("$Lesson 1\r\nstation\r\n/ˈsteɪʃn/\r\n车站\r\n$Lesson 2\r\nbank\r\n/bæŋk/\r\n银行\r\nfoot\r\n"));
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    const QList<WordListEntry> words = LessonReader(library).words({kVolume, folder}, 1);
    EXPECT_EQ(words, (QList<WordListEntry>{{"bank", "/bæŋk/", "银行"}, {"foot", "", ""}}));
}

// An own lesson's video reference, written for videos inside and outside the
// books folder and read back by the model: a video there is the lesson's, one
// moved away is named as missing, and a shipped volume reads no reference.
TEST(CourseModel, ReadsAnOwnLessonsVideoWhereverItLiesAndNamesOneMovedAway)
{
    QTemporaryDir dir;
    const QString books = dir.path() + "/own";
    const QString folder = books + "/" + kVolume;
    VolumeFiles{}.write(folder, gb("$Lesson 1 Film\r\n1. Hello.\r\n你好。\r\n"));
    struct Row {
        QString video;  // where the video lies
        bool there;
        QString named;  // what the reference file holds, first line
    };
    const QList<Row> rows{
        {books + "/电影 films/第一集 ep 1.mkv", true, "../电影 films/第一集 ep 1.mkv"},
        {folder + "/tlx3001.mp4", true, "tlx3001.mp4"},
        {dir.path() + "/外面 outside/clip.webm", true, dir.path() + "/外面 outside/clip.webm"},
        {dir.path() + "/moved away.mp4", false, dir.path() + "/moved away.mp4"},
    };
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.video.toStdString());
        if (row.there)
            writeFile(row.video, "video");
        const QByteArray reference = videoReferenceBytes(row.video, folder, books);
        EXPECT_EQ(reference, row.named.toUtf8() + "\n");
        writeFile(folder + "/tlx3001.video.txt", reference);
        const CourseLesson own = LessonReader(library).lesson({kVolume, folder, true}, 0);
        EXPECT_EQ(own.error, "");
        EXPECT_EQ(own.video, row.there ? row.video : QString());
        EXPECT_EQ(own.missingVideo, row.there ? QString() : row.video);
        const CourseLesson shipped = LessonReader(library).lesson({kVolume, folder, false}, 0);
        EXPECT_EQ(shipped.video + shipped.missingVideo, "");
    }
    EXPECT_EQ(videoReferenceBytes("two\nlines.mp4", folder, books), "");
    writeFile(folder + "/tlx3001.video.txt", "\n");
    EXPECT_EQ(LessonReader(library).lesson({kVolume, folder, true}, 0).missingVideo, "");
}

}  // namespace
