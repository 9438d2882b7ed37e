// Daily review in the study record: sentences enter it with the grade of what
// the learner did and come due on the days the scheduler gives; today's queue,
// the figures of the record window, sentences whose text changed leaving
// review, a file of the previous schema brought up to date, two copies of
// the program reviewing the same sentence, and a lesson's sentences
// renumbered as one is split or two are joined, their history kept.

#include "record/RecordDatabase.h"
#include "record/StudyRecord.h"
#include "review/Fsrs.h"
#include "tests/record/RawFile.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kVolume = "Trellis英语第2册";
const QString kLesson = "Lesson 5 天气";
constexpr qint64 kDayMs = 24 * 60 * 60 * 1000;

// Noon, `daysAgo` days before today, local time.
qint64 noon(int daysAgo)
{
    return QDateTime(QDate::currentDate().addDays(-daysAgo), QTime(12, 0)).toMSecsSinceEpoch();
}

RecordEvent on(int number, qint64 at, const QString& hash = "h")
{
    RecordEvent e;
    e.at = at;
    e.sentence = {kVolume, kLesson, number, hash + QString::number(number), QString("Sentence %1.").arg(number), ""};
    return e;
}

RecordEvent answer(int number, qint64 at, bool right, bool englishShown = false)
{
    RecordEvent e = on(number, at);
    e.kind = RecordEvent::DictationAnswer;
    e.right = right;
    e.englishHint = englishShown;
    return e;
}

RecordEvent scored(int number, qint64 at, int similarity)
{
    RecordEvent e = on(number, at);
    e.kind = RecordEvent::TakeScored;
    e.similarity = similarity;
    return e;
}

RecordEvent reviewed(int number, qint64 at, fsrs::Grade grade)
{
    RecordEvent e = on(number, at);
    e.kind = RecordEvent::Reviewed;
    e.grade = int(grade);
    return e;
}

RecordEvent lessonLoad(qint64 at)
{
    RecordEvent e = on(-1, at);
    e.kind = RecordEvent::LessonLoad;
    return e;
}

TEST(ReviewRecord, StudiedSentencesEnterReviewWithTheGradeOfWhatTheLearnerDid)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    const qint64 t = noon(3);
    {
        StudyRecord record(file);
        for (const RecordEvent& e :
             {answer(0, t, true), answer(1, t + 1, false), answer(1, t + 2, true), answer(2, t + 3, true, true),
              answer(3, t + 4, false), answer(4, t + 5, true), scored(5, t + 6, 72), scored(6, t + 7, 90),
              scored(7, t + 8, 40), answer(8, t + 9, false), lessonLoad(t + 10), answer(9, t + 11, false)})
            record.add(e);
        // Sentence 9 is still being dictated when the program closes.
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT group_concat(s.number || ':' || l.grade, ' ') FROM (SELECT * FROM review_log"
                        " ORDER BY id) l JOIN sentences s ON s.id = l.sentence_id").toString(),
              "0:3 1:2 2:2 3:1 4:3 5:2 6:3 7:1 8:1 9:1");
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM take_scores").toInt(), 3);

    // Sentence 0 comes back on the day its first review set; reviewed then, it
    // moves on as the scheduler says.
    const fsrs::Scheduler scheduler;
    const fsrs::Review first = scheduler.first(fsrs::Grade::Good);
    const QString ofSentence0 = " FROM review_items WHERE sentence_id = (SELECT id FROM sentences WHERE number = 0)";
    EXPECT_EQ(raw.value("SELECT due_day - last_review_day" + ofSentence0).toInt(), first.intervalDays);
    {
        StudyRecord record(file);
        record.add(reviewed(0, t + first.intervalDays * kDayMs, fsrs::Grade::Hard));
    }
    const fsrs::Review second = scheduler.next(first.memory, first.intervalDays, fsrs::Grade::Hard);
    EXPECT_NEAR(raw.value("SELECT stability" + ofSentence0).toDouble(), second.memory.stability, 1e-9);
    EXPECT_EQ(raw.value("SELECT due_day - last_review_day" + ofSentence0).toInt(), second.intervalDays);
    EXPECT_EQ(raw.value("SELECT elapsed_days || '/' || scheduled_days FROM review_log ORDER BY id DESC").toString(),
              QString("%1/%1").arg(first.intervalDays));
}

TEST(ReviewRecord, TodaysQueueTheFiguresAndSentencesWhoseTextChanged)
{
    QTemporaryDir dir;
    StudyRecord record(dir.filePath("study.sqlite"));
    // Due 8 days ago, 3 days ago, and in the days to come.
    record.add(reviewed(0, noon(10), fsrs::Grade::Good));
    record.add(reviewed(1, noon(4), fsrs::Grade::Again));
    record.add(reviewed(2, noon(0), fsrs::Grade::Good));
    record.add(reviewed(3, noon(0), fsrs::Grade::Easy));

    const auto queue = waitFor(record.readReviewQueue());
    ASSERT_EQ(queue.size(), 2);
    EXPECT_EQ(queue[0].sentence.number, 0);
    EXPECT_EQ(queue[0].due, QDate::currentDate().addDays(fsrs::Scheduler().first(fsrs::Grade::Good).intervalDays - 10));
    EXPECT_EQ(queue[1].sentence.number, 1);
    EXPECT_EQ(queue[1].lapses, 0);
    EXPECT_EQ(waitFor(record.readReviewQueue(1)).size(), 1);

    const auto overview = waitFor(record.readReviewOverview());
    ASSERT_EQ(overview.dueByDay.size(), ReviewOverview::kDays);
    EXPECT_EQ(overview.dueByDay[0], 2);
    EXPECT_EQ(overview.dueByDay[fsrs::Scheduler().first(fsrs::Grade::Good).intervalDays], 1);
    EXPECT_EQ(overview.reviewsByDay.last(), 2);
    EXPECT_EQ(overview.reviewsByDay[ReviewOverview::kDays - 1 - 4], 1);
    EXPECT_EQ(overview.reviewsByDay[ReviewOverview::kDays - 1 - 10], 1);

    // Both come back while due: sentence 0 recalled, sentence 1 forgotten.
    record.add(reviewed(0, noon(0), fsrs::Grade::Good));
    record.add(reviewed(1, noon(0) + 1, fsrs::Grade::Again));
    const auto after = waitFor(record.readReviewOverview());
    EXPECT_EQ(after.dueReviews, 2);
    EXPECT_EQ(after.recalled, 1);

    // The lesson's text changed: sentence 1 no longer reads as it did, and
    // sentence 3 is gone.
    record.lessonTexts(kVolume, kLesson, {"h0", "edited", "h2"});
    const auto retired = waitFor(record.readReviewOverview());
    int inReview = 0;
    for (int due : retired.dueByDay)
        inReview += due;
    EXPECT_EQ(inReview, 2);
}

TEST(ReviewRecord, AVersionTwoFileIsBroughtUpToDateAndKeepsItsRows)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    const QStringList tables = {"study_sessions", "sentences", "lesson_loads", "plays", "dictation_answers", "takes"};
    {
        // A record as the previous version wrote it.
        RawFile raw(file);
        for (const char* statement :
             {"CREATE TABLE schema_version (version INTEGER NOT NULL)", "INSERT INTO schema_version VALUES (2)",
              "CREATE TABLE study_sessions (id INTEGER PRIMARY KEY, started_at INTEGER NOT NULL,"
              " ended_at INTEGER NOT NULL)",
              "CREATE TABLE sentences (id INTEGER PRIMARY KEY, volume TEXT NOT NULL, lesson TEXT NOT NULL,"
              " number INTEGER NOT NULL, text_hash TEXT NOT NULL, english TEXT NOT NULL, chinese TEXT NOT NULL,"
              " UNIQUE (volume, lesson, number, text_hash))",
              "CREATE TABLE lesson_loads (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " volume TEXT NOT NULL, lesson TEXT NOT NULL, sentence_count INTEGER NOT NULL)",
              "CREATE TABLE plays (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " sentence_id INTEGER NOT NULL, mode INTEGER NOT NULL, speed_percent INTEGER NOT NULL DEFAULT 100)",
              "CREATE TABLE dictation_answers (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL,"
              " at INTEGER NOT NULL, sentence_id INTEGER NOT NULL, is_right INTEGER NOT NULL,"
              " first_wrong INTEGER NOT NULL, english_hint INTEGER NOT NULL, chinese_hint INTEGER NOT NULL)",
              "CREATE TABLE takes (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " sentence_id INTEGER NOT NULL, played INTEGER NOT NULL)",
              "INSERT INTO study_sessions VALUES (1, 1000, 9000)",
              "INSERT INTO sentences VALUES (1, 'Trellis英语第2册', 'Lesson 5 天气', 0, 'h0', 'Hi.', '你好。')",
              "INSERT INTO lesson_loads VALUES (1, 1, 1000, 'Trellis英语第2册', 'Lesson 5 天气', 3)",
              "INSERT INTO plays VALUES (1, 1, 2000, 1, 1, 80)",
              "INSERT INTO dictation_answers VALUES (1, 1, 3000, 1, 1, -1, 0, 1)",
              "INSERT INTO takes VALUES (1, 1, 4000, 1, 0)"})
            ASSERT_TRUE(raw.exec(statement)) << statement;
    }
    {
        StudyRecord record(file);
        record.add(scored(0, noon(0), 95));
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT version FROM schema_version").toInt(), RecordDatabase::kSchemaVersion);
    for (const QString& table : tables)
        EXPECT_GE(raw.value("SELECT COUNT(*) FROM " + table + " WHERE id = 1").toInt(), 1) << table.toStdString();
    EXPECT_EQ(raw.value("SELECT speed_percent || chinese_hint FROM plays, dictation_answers").toString(), "801");
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM review_items WHERE sentence_id = 1").toInt(), 1);
}

TEST(ReviewRecord, TwoCopiesReviewingTheSameSentenceLoseNoReview)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord first(file);
        StudyRecord second(file);
        for (int i = 0; i < 60; ++i) {
            first.add(reviewed(0, noon(0) + i, fsrs::Grade::Good));
            second.add(reviewed(0, noon(0) + i, fsrs::Grade::Again));
            if (i % 10 == 0) {
                first.send();
                second.send();
            }
        }
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM review_log").toInt(), 120);
    // Every review built on the one before, whichever copy wrote it; the
    // first review, if an Again, is no lapse.
    EXPECT_EQ(raw.value("SELECT reviews || '/' || lapses FROM review_items").toString(),
              raw.value("SELECT COUNT(*) || '/' || SUM(grade = 1 AND scheduled_days > 0) FROM review_log").toString());
}

RecordEvent renumbered(int from, int shift)
{
    RecordEvent e = on(from, noon(0));
    e.kind = RecordEvent::SentencesRenumbered;
    e.shift = shift;
    return e;
}

TEST(ReviewRecord, RenumberedSentencesKeepTheirHistoryAndReviews)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord record(file);
        for (int n = 0; n < 4; ++n)
            record.add(reviewed(n, noon(5) + n, fsrs::Grade::Good));
        // Sentence 1 split: 2 and 3 become 3 and 4; the new sentence 2 is met.
        record.add(renumbered(2, +1));
        record.add(reviewed(2, noon(0), fsrs::Grade::Hard));
        // Sentences 0 and 1 joined: the later ones move back one.
        record.add(renumbered(2, -1));
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT group_concat(number || ':' || english, ' ') FROM (SELECT * FROM sentences ORDER BY id)")
                  .toString(),
              "0:Sentence 0. 1:Sentence 1. 2:Sentence 2. 3:Sentence 3. 1:Sentence 2.");
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM review_items").toInt(), 5) << "every review stays with its sentence";
}

}  // namespace
