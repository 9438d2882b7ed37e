// lexbay --review-due through the staged program with no display: the count
// of sentences due on a day from a record made here, and the record that
// cannot be read.

#include "record/RecordDatabase.h"
#include "review/Fsrs.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QDate kStudied(2026, 3, 1);

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome reviewDue(const QString& dataHome, const QStringList& arguments)
{
    QProcess lexbay;
    lexbay.start("env", QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                    "XDG_DATA_HOME=" + dataHome, LEXBAY_PROGRAM, "--review-due"} +
                            arguments);
    EXPECT_TRUE(lexbay.waitForFinished(30000));
    return {lexbay.exitCode(), QString::fromUtf8(lexbay.readAllStandardOutput()),
            QString::fromUtf8(lexbay.readAllStandardError())};
}

RecordEvent review(int number, fsrs::Grade grade)
{
    RecordEvent e;
    e.kind = RecordEvent::Reviewed;
    e.at = QDateTime(kStudied, QTime(12, 0)).toMSecsSinceEpoch();
    e.sentence = {"Trellis英语第1册", "Lesson 2", number, QString("h%1").arg(number), "A sentence.", ""};
    e.grade = int(grade);
    return e;
}

// Three sentences studied on kStudied, due on the days their grades give.
QVector<QDate> writeRecord(const QString& file)
{
    const QVector<fsrs::Grade> grades = {fsrs::Grade::Again, fsrs::Grade::Good, fsrs::Grade::Easy};
    RecordDatabase record("review-due-test");
    QString aside;
    EXPECT_EQ(record.open(file, &aside), "");
    RecordBatch batch;
    QVector<QDate> due;
    for (int i = 0; i < grades.size(); ++i) {
        batch << review(i, grades[i]);
        due << kStudied.addDays(fsrs::Scheduler().first(grades[i]).intervalDays);
    }
    EXPECT_EQ(record.write(record.startSession(batch[0].at), batch), "");
    return due;
}

TEST(ReviewDue, CountsTheSentencesDueOnADay)
{
    QTemporaryDir home;
    const QVector<QDate> due = writeRecord(home.filePath("Lexbay/study.sqlite"));
    ASSERT_TRUE(due[0] < due[1] && due[1] < due[2]);
    struct Case {
        QDate day;
        int due;
        int overdue;
    };
    for (const Case& c : {Case{kStudied, 0, 0}, Case{due[0], 1, 0}, Case{due[1], 2, 1}, Case{due[2].addDays(1), 3, 3}}) {
        const QString date = c.day.toString("yyyy-MM-dd");
        const Outcome run = reviewDue(home.path(), {"--date", date});
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, QString("%1：%2 个句子到期复习（其中 %3 个已逾期）\n").arg(date).arg(c.due).arg(c.overdue))
            << date.toStdString();
    }
    // Today, the local date, by default.
    const Outcome today = reviewDue(home.path(), {});
    EXPECT_EQ(today.exitCode, 0);
    EXPECT_TRUE(today.out.startsWith(QDate::currentDate().toString("yyyy-MM-dd") + "：3 个句子")) << today.out.toStdString();

    // A kept word is due the day after; a record as the version before
    // words were reviewed still counts its sentences.
    const QString file = home.filePath("Lexbay/study.sqlite");
    const QString later = due[2].addDays(1).toString("yyyy-MM-dd");
    {
        RecordDatabase record("review-due-word");
        QString aside;
        ASSERT_EQ(record.open(file, &aside), "");
        RecordEvent kept = review(0, fsrs::Grade::Good);
        kept.kind = RecordEvent::WordSaved;
        kept.word = "sentence";
        ASSERT_EQ(record.write(record.startSession(kept.at), {kept}), "");
        EXPECT_EQ(reviewDue(home.path(), {"--date", later}).out,
                  later + "：3 个句子和 1 个生词到期复习（其中 4 个已逾期）\n");
        for (const char* statement : {"DROP TABLE word_review_items", "UPDATE schema_version SET version = 4"})
            ASSERT_TRUE(QSqlQuery(QSqlDatabase::database("review-due-word")).exec(statement)) << statement;
    }
    QSqlDatabase::removeDatabase("review-due-word");
    EXPECT_EQ(reviewDue(home.path(), {"--date", later}).out, later + "：3 个句子到期复习（其中 3 个已逾期）\n");
}

TEST(ReviewDue, ARecordThatCannotBeReadOrABadDate)
{
    QTemporaryDir home;
    const Outcome none = reviewDue(home.path(), {"--date", "2026-03-01"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_TRUE(none.out.contains("0 个句子到期复习")) << none.out.toStdString();
    EXPECT_FALSE(QFile::exists(home.filePath("Lexbay/study.sqlite")));

    const Outcome badDate = reviewDue(home.path(), {"--date", "2026-02-30"});
    EXPECT_NE(badDate.exitCode, 0);
    EXPECT_TRUE(badDate.err.contains("2026-02-30")) << badDate.err.toStdString();

    const QString file = home.filePath("Lexbay/study.sqlite");
    QDir().mkpath(home.filePath("Lexbay"));
    QFile broken(file);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(QByteArray(4096, 'x'));
    broken.close();
    const Outcome unreadable = reviewDue(home.path(), {});
    EXPECT_NE(unreadable.exitCode, 0);
    EXPECT_TRUE(unreadable.err.contains("无法读取学习记录")) << unreadable.err.toStdString();
    EXPECT_TRUE(unreadable.out.isEmpty());
    // Left as it was, for the window to deal with.
    EXPECT_EQ(QFileInfo(file).size(), 4096);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
