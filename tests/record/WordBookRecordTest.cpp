// The word book in the study record: a word kept from several sentences and
// from none, kept again, taken out; read back after the record closed; and
// a record of the previous schema, which had no word book, brought up to
// date with its rows kept.

#include "record/RecordDatabase.h"
#include "record/StudyRecord.h"
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
             {"DROP TABLE word_meetings", "DROP TABLE word_book", "UPDATE schema_version SET version = 3"})
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

}  // namespace
