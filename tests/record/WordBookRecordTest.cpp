// The word book in the study record: a word kept from several sentences and
// from none, kept again, taken out; read back after the record closed; a
// record of a schema with no word book brought up to date with its rows
// kept; and the kept words in the daily review, due the day after, graded,
// gone with the book, and entered when an older record is brought up.

#include "record/RecordDatabase.h"
#include "record/StudyRecord.h"
#include "review/Fsrs.h"
#include "tests/record/RawFile.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kVolume = "我的课本";
const QString kLesson = "Station";

RecordEvent kept(const QString& word, const QString& form, int number, qint64 at)
{
    RecordEvent e;
    e.kind = RecordEvent::WordSaved;
    e.at = at;
    e.word = word;
    e.forms = {word, form};
    e.form = form;
    if (number >= 0) {
        e.sentence = {kVolume, kLesson, number, QString("h%1").arg(number), QString("Sentence %1.").arg(number),
                      "句子。"};
        e.clipStart = number * 2.5;
        e.clipEnd = number * 2.5 + 2;
    }
    return e;
}

// Noon, `daysAgo` days before today, local time.
qint64 noon(int daysAgo)
{
    return QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(12, 0)).toMSecsSinceEpoch();
}

RecordEvent graded(const QString& word, fsrs::Grade grade)
{
    RecordEvent e;
    e.kind = RecordEvent::Reviewed;
    e.at = noon(0);
    e.word = word;
    e.grade = int(grade);
    return e;
}

RecordEvent takenOut(const QString& word)
{
    RecordEvent e;
    e.kind = RecordEvent::WordRemoved;
    e.at = QDateTime::currentMSecsSinceEpoch();
    e.word = word;
    return e;
}

TEST(WordBookRecord, AWordKeepsEverySentenceItWasKeptFromAndGoesWhenTakenOut)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord record(file);
        record.add(kept("go", "went", 0, 1000));
        record.add(kept("go", "goes", 1, 2000));
        record.add(kept("go", "Went", 0, 3000));  // the same sentence again: kept once, as last met
        record.add(kept("station", "stations", -1, 4000));
        record.add(kept("leave", "left", 1, 5000));
        record.add(takenOut("leave"));
    }
    StudyRecord again(file);
    const WordBook book = waitFor(again.readWordBook());
    ASSERT_EQ(book.size(), 2);
    EXPECT_EQ(book[0].word, "station");
    EXPECT_TRUE(book[0].meetings.isEmpty());
    EXPECT_EQ(book[0].forms, QStringList({"station", "stations"}));
    const SavedWord& go = book[1];
    EXPECT_EQ(go.word, "go");
    EXPECT_EQ(go.addedAt, 1000);
    ASSERT_EQ(go.meetings.size(), 2);
    EXPECT_EQ(go.meetings[0].form, "Went");
    EXPECT_EQ(go.meetings[0].sentence.english, "Sentence 0.");
    EXPECT_EQ(go.meetings[0].sentence.chinese, "句子。");
    EXPECT_EQ(go.meetings[1].sentence.number, 1);
    EXPECT_DOUBLE_EQ(go.meetings[1].clipStart, 2.5);
    EXPECT_DOUBLE_EQ(go.meetings[1].clipEnd, 4.5);
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM word_meetings WHERE word = 'leave'").toInt(), 0);
}

TEST(WordBookRecord, ARecordWithoutAWordBookGetsOneAndKeepsItsRows)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord record(file);
        RecordEvent play = kept("go", "go", 0, 1000);
        play.kind = RecordEvent::Play;
        record.add(play);
    }
    {
        // As the previous version left it.
        RawFile raw(file);
        for (const char* statement :
             {"DROP TABLE word_meetings", "DROP TABLE word_book", "DROP TABLE word_review_items",
              "DROP TABLE word_review_log", "UPDATE schema_version SET version = 3"})
            ASSERT_TRUE(raw.exec(statement)) << statement;
    }
    {
        StudyRecord record(file);
        record.add(kept("go", "went", 0, 2000));
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT version FROM schema_version").toInt(), RecordDatabase::kSchemaVersion);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM plays").toInt(), 1);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM sentences").toInt(), 1) << "the word's sentence is the one played";
    EXPECT_EQ(raw.value("SELECT form FROM word_meetings WHERE word = 'go'").toString(), "went");
}

TEST(WordBookRecord, KeptWordsComeDueTheNextDayAndLeaveReviewWithTheBook)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    StudyRecord record(file);
    record.add(kept("go", "went", 0, noon(3)));
    record.add(kept("go", "goes", 1, noon(2)));  // kept again: asked in its latest sentence
    record.add(kept("station", "stations", -1, noon(1)));
    record.add(kept("leave", "left", 1, noon(5)));
    record.add(takenOut("leave"));
    record.add(kept("today", "today", 2, noon(0)));

    const ReviewQueue queue = waitFor(record.readReviewQueue());
    ASSERT_EQ(queue.size(), 2);
    EXPECT_EQ(queue[0].word, "go");
    EXPECT_EQ(queue[0].wordForm, "goes");
    EXPECT_EQ(queue[0].sentence.english, "Sentence 1.");
    EXPECT_EQ(queue[0].due, QDate::currentDate().addDays(-2)) << "due the day after it was first kept";
    EXPECT_EQ(queue[1].word, "station");
    EXPECT_EQ(queue[1].sentence.number, -1);
    const ReviewOverview due = waitFor(record.readReviewOverview());
    EXPECT_EQ(due.dueByDay[0], 2);
    EXPECT_EQ(due.dueByDay[1], 1);

    // Its first grade gives a word the scheduler's first interval; a word
    // taken out of the book while it was asked is not brought back.
    record.add(graded("go", fsrs::Grade::Good));
    record.add(graded("leave", fsrs::Grade::Good));
    record.add(takenOut("station"));
    const ReviewQueue after = waitFor(record.readReviewQueue());
    EXPECT_TRUE(after.isEmpty());
    EXPECT_EQ(waitFor(record.readReviewOverview()).reviewsByDay.last(), 1);
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT group_concat(word || ':' || (due_day - last_review_day) || ':' || reviews)"
                        " FROM word_review_items WHERE word IN ('go', 'leave', 'station')")
                  .toString(),
              QString("go:%1:1").arg(fsrs::Scheduler().first(fsrs::Grade::Good).intervalDays));
    EXPECT_EQ(raw.value("SELECT group_concat(word) FROM word_review_log").toString(), "go");
}

TEST(WordBookRecord, WordsKeptBeforeTheyWereReviewedEnterReviewWhenTheRecordIsBroughtUp)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord record(file);
        record.add(kept("go", "went", 0, noon(4)));
        record.add(kept("station", "station", -1, noon(0)));
    }
    {
        // As the previous version left it.
        RawFile raw(file);
        for (const char* statement :
             {"DROP TABLE word_review_items", "DROP TABLE word_review_log", "UPDATE schema_version SET version = 4"})
            ASSERT_TRUE(raw.exec(statement)) << statement;
    }
    StudyRecord record(file);
    const ReviewQueue queue = waitFor(record.readReviewQueue());
    ASSERT_EQ(queue.size(), 1);
    EXPECT_EQ(queue[0].word, "go");
    EXPECT_EQ(queue[0].due, QDate::currentDate().addDays(-3));
    EXPECT_EQ(waitFor(record.readWordBook()).size(), 2);
    EXPECT_EQ(waitFor(record.readReviewOverview()).dueByDay[1], 1);
}

}  // namespace
