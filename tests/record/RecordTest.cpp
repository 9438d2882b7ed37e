// The study record: every kind of event written and read back, who a read's
// answer reaches, the schema brought up from version 1, the identity of an
// edited sentence, the hard sentences, and the faults the record must survive
// without stopping study.

#include "record/HardSentences.h"
#include "record/RecordDatabase.h"
#include "record/RecordReply.h"
#include "record/StudyRecord.h"
#include "tests/record/RawFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

namespace {

const QString kVolume = "Trellis英语第1册";
const QString kLesson = "Lesson 1 问路";

SentenceKey sentence(int number, const QString& hash = "aaaa")
{
    return {kVolume, kLesson, number, hash, QString("Sentence %1.").arg(number), "句子。"};
}

RecordEvent event(RecordEvent::Kind kind, int number, const QString& hash = "aaaa")
{
    RecordEvent e;
    e.kind = kind;
    e.at = QDateTime::currentMSecsSinceEpoch();
    e.sentence = sentence(number, hash);
    return e;
}

RecordEvent answer(int number, bool right, const QString& hash = "aaaa")
{
    RecordEvent e = event(RecordEvent::DictationAnswer, number, hash);
    e.right = right;
    e.firstWrong = right ? -1 : 3;
    return e;
}

RecordEvent lessonLoad(int sentences)
{
    RecordEvent e = event(RecordEvent::LessonLoad, -1);
    e.sentenceCount = sentences;
    return e;
}

TEST(StudyRecord, WritesEveryKindOfEventAndReadsThemBack)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("data/Lexbay/study.sqlite");
    {
        StudyRecord record(file);
        record.add(lessonLoad(2));
        RecordEvent play = event(RecordEvent::Play, 0);
        play.mode = 2;
        play.speedPercent = 80;
        record.add(play);
        RecordEvent wrong = answer(1, false);
        wrong.englishHint = true;
        record.add(wrong);
        record.add(answer(1, true));
        record.add(answer(0, true));
        record.add(event(RecordEvent::TakeRecorded, 0));
        record.add(event(RecordEvent::TakePlayed, 0));
        // Closing writes what is still gathered.
    }
    {
        RawFile raw(file);
        EXPECT_EQ(raw.value("SELECT version FROM schema_version").toInt(), RecordDatabase::kSchemaVersion);
        EXPECT_EQ(raw.value("SELECT speed_percent || '/' || mode FROM plays").toString(), "80/2");
        EXPECT_EQ(raw.value("SELECT group_concat(is_right || english_hint || first_wrong, ' ') FROM"
                            " (SELECT * FROM dictation_answers ORDER BY id)").toString(),
                  "013 10-1 10-1");
        EXPECT_EQ(raw.value("SELECT group_concat(played) FROM takes").toString(), "0,1");
        EXPECT_EQ(raw.value("SELECT sentence_count FROM lesson_loads").toInt(), 2);
        EXPECT_EQ(raw.value("SELECT COUNT(*) FROM sentences").toInt(), 2);
        EXPECT_GE(raw.value("SELECT ended_at - started_at FROM study_sessions").toLongLong(), 0);
    }
    StudyRecord again(file);
    EXPECT_EQ(waitFor(again.readHistory(kVolume, kLesson, {"aaaa", "aaaa"})),
              AnswerHistory({{true}, {false, true}}));
    EXPECT_EQ(waitFor(again.readMarks(kVolume, {kLesson, "Lesson 2 新同学"})),
              QVector<int>({AllDictatedRight, NotStudied}));
    const auto overview = waitFor(again.readOverview(kVolume, {kLesson}));
    ASSERT_EQ(overview.days.size(), 30);
    EXPECT_EQ(overview.days.last().date, QDate::currentDate().toString("yyyy-MM-dd"));
    ASSERT_EQ(overview.lessons.size(), 1);
    EXPECT_EQ(overview.lessons[0].timesStudied, 1);
    EXPECT_EQ(overview.lessons[0].rightAtFirstTry, 1);  // sentence 0; sentence 1 was wrong first
    EXPECT_EQ(overview.lessons[0].sentences, 2);
}

TEST(StudyRecord, AnEditedSentenceStartsAHistoryOfItsOwn)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord record(file);
        record.add(answer(0, false, "old-text"));
        record.add(answer(0, false, "old-text"));
    }
    StudyRecord record(file);
    EXPECT_EQ(waitFor(record.readHistory(kVolume, kLesson, {"new-text"})), AnswerHistory({{}}));
    EXPECT_EQ(waitFor(record.readHistory(kVolume, kLesson, {"old-text"})), AnswerHistory({{false, false}}));
}

TEST(StudyRecord, AnAnswerReachesOnlyTheLatestReadOfAReceiverStillThere)
{
    QTemporaryDir dir;
    QObject here;
    int toGone = 0, toReplaced = 0, toLatest = 0, afterClose = 0;
    QFuture<QVector<int>> unanswered;
    {
        StudyRecord record(dir.filePath("study.sqlite"));
        auto gone = std::make_unique<QObject>();
        whenAnswered(record.readMarks(kVolume, {kLesson}), gone.get(), [&](const QVector<int>&) { ++toGone; });
        gone.reset();
        QFuture<QVector<int>> latest;
        whenLatestAnswered(latest, record.readMarks(kVolume, {kLesson}), &here,
                           [&](const QVector<int>&) { ++toReplaced; });
        whenLatestAnswered(latest, record.readMarks(kVolume, {kLesson}), &here,
                           [&](const QVector<int>& marks) { toLatest += marks.size(); });
        waitFor(latest);
        // Asked again once answered.
        whenLatestAnswered(latest, record.readMarks(kVolume, {kLesson}), &here,
                           [&](const QVector<int>& marks) { toLatest += marks.size(); });
        waitFor(latest);
        // Closed before this one could be answered.
        unanswered = record.readMarks(kVolume, {kLesson});
        whenAnswered(unanswered, &here, [&](const QVector<int>&) { ++afterClose; });
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(toGone, 0);
    EXPECT_EQ(toReplaced, 0);
    EXPECT_EQ(toLatest, 2);
    EXPECT_TRUE(unanswered.isCanceled());
    EXPECT_EQ(afterClose, 0);
}

TEST(StudyRecord, AVersionOneFileIsBroughtUpToDateAndKeepsItsRows)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        // The first schema: plays had no speed.
        RawFile raw(file);
        for (const char* statement :
             {"CREATE TABLE schema_version (version INTEGER NOT NULL)", "INSERT INTO schema_version VALUES (1)",
              "CREATE TABLE study_sessions (id INTEGER PRIMARY KEY, started_at INTEGER NOT NULL,"
              " ended_at INTEGER NOT NULL)",
              "CREATE TABLE sentences (id INTEGER PRIMARY KEY, volume TEXT NOT NULL, lesson TEXT NOT NULL,"
              " number INTEGER NOT NULL, text_hash TEXT NOT NULL, english TEXT NOT NULL, chinese TEXT NOT NULL,"
              " UNIQUE (volume, lesson, number, text_hash))",
              "CREATE TABLE lesson_loads (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " volume TEXT NOT NULL, lesson TEXT NOT NULL, sentence_count INTEGER NOT NULL)",
              "CREATE TABLE plays (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " sentence_id INTEGER NOT NULL, mode INTEGER NOT NULL)",
              "CREATE TABLE dictation_answers (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL,"
              " at INTEGER NOT NULL, sentence_id INTEGER NOT NULL, is_right INTEGER NOT NULL,"
              " first_wrong INTEGER NOT NULL, english_hint INTEGER NOT NULL, chinese_hint INTEGER NOT NULL)",
              "CREATE TABLE takes (id INTEGER PRIMARY KEY, session_id INTEGER NOT NULL, at INTEGER NOT NULL,"
              " sentence_id INTEGER NOT NULL, played INTEGER NOT NULL)",
              "INSERT INTO sentences VALUES (1, 'v', 'l', 0, 'h', 'Hi.', '你好。')",
              "INSERT INTO plays VALUES (1, 1, 1000, 1, 1)"})
            ASSERT_TRUE(raw.exec(statement)) << statement;
    }
    {
        StudyRecord record(file);
        RecordEvent play = event(RecordEvent::Play, 0);
        play.speedPercent = 50;
        record.add(play);
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT version FROM schema_version").toInt(), RecordDatabase::kSchemaVersion);
    EXPECT_EQ(raw.value("SELECT group_concat(speed_percent) FROM (SELECT * FROM plays ORDER BY id)").toString(),
              "100,50");
}

TEST(HardSentences, WrongTwiceUntilRightTwiceInARow)
{
    const struct {
        QVector<bool> answers;
        bool hard;
    } cases[] = {
        {{}, false},
        {{false}, false},
        {{false, false}, true},
        {{true, false, true, false}, true},
        {{false, false, true}, true},
        {{false, false, true, true}, false},
        {{false, false, true, true, false}, true},
        {{false, true, false, true, true}, false},
        {{true, true, false, false}, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(isHard(c.answers), c.hard) << QVariant::fromValue(c.answers).toString().toStdString();
    EXPECT_EQ(hardSentences({{false, false}, {}, {false, true, false}}), std::vector<int>({0, 2}));
}

TEST(StudyRecordFaults, AFolderThatRefusesWritingTurnsTheRecordOffAndSaysWhy)
{
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    // Root writes anywhere: make the path impossible instead.
    QFile(dir.filePath("blocker")).open(QIODevice::WriteOnly);
    const QString file = getuid() == 0 ? dir.filePath("blocker/study.sqlite") : dir.filePath("locked/study.sqlite");
    StudyRecord record(file);
    QSignalSpy problems(&record, &StudyRecord::problem);
    ASSERT_TRUE(problems.wait(5000));
    EXPECT_TRUE(problems.at(0).value(0).toString().startsWith("学习记录已停用："))
        << problems.at(0).value(0).toString().toStdString();
    // Switched off, the record takes what study brings without a second word
    // and without making the file.
    record.add(answer(0, false));
    record.flush();
    QCoreApplication::processEvents();
    EXPECT_EQ(problems.count(), 1);
    EXPECT_FALSE(QFile::exists(file));
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(StudyRecordFaults, AFileThatIsNoDatabaseIsMovedAsideAndANewOneStarted)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        QFile garbage(file);
        garbage.open(QIODevice::WriteOnly);
        garbage.write(QByteArray(4096, 'x'));
    }
    StudyRecord record(file);
    const QString said = waitFor(record, &StudyRecord::problem).value(0).toString();
    const QString aside = file + ".broken-" + QDate::currentDate().toString("yyyy-MM-dd");
    EXPECT_TRUE(said.contains(aside)) << said.toStdString();
    EXPECT_EQ(QFile(aside).size(), 4096);
    record.add(answer(0, true));
    record.flush();
    EXPECT_EQ(RawFile(file).value("SELECT COUNT(*) FROM dictation_answers").toInt(), 1);
}

TEST(StudyRecordFaults, AFileHeldByAnotherProgramIsWrittenOnceItIsFreeAgain)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    { StudyRecord(file).flush(); }
    auto other = std::make_unique<RawFile>(file);
    ASSERT_TRUE(other->exec("BEGIN EXCLUSIVE"));
    bool released = false;
    QTimer::singleShot(1500, [&] {
        other->exec("COMMIT");
        released = true;
    });
    StudyRecord record(file);
    QSignalSpy problems(&record, &StudyRecord::problem);
    for (int i = 0; i < 20; ++i)
        record.add(answer(i % 4, i % 2 == 0));
    record.send();
    ASSERT_TRUE(QTest::qWaitFor([&] { return released; }, 10000));
    record.flush();
    EXPECT_EQ(problems.count(), 0);
    other.reset();
    EXPECT_EQ(RawFile(file).value("SELECT COUNT(*) FROM dictation_answers").toInt(), 20);
}

TEST(StudyRecordFaults, TwoCopiesOfTheProgramShareTheFileAndLoseNothing)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("study.sqlite");
    {
        StudyRecord first(file);
        StudyRecord second(file);
        QSignalSpy problems(&first, &StudyRecord::problem), otherProblems(&second, &StudyRecord::problem);
        for (int i = 0; i < 300; ++i) {
            first.add(answer(i % 8, true));
            second.add(answer(i % 8, false));
            if (i % 50 == 0) {
                first.send();
                second.send();
            }
        }
        first.flush();
        second.flush();
        QCoreApplication::processEvents();
        EXPECT_EQ(problems.count() + otherProblems.count(), 0);
    }
    RawFile raw(file);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM dictation_answers").toInt(), 600);
    EXPECT_EQ(raw.value("SELECT COUNT(*) FROM study_sessions").toInt(), 2);
}

}  // namespace
