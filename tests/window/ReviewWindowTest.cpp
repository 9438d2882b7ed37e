// The daily review in the window: two sentences due, reviewed by keyboard
// alone, heard from their lesson's recording on the review's own player, the
// grades written to the record and the count on the button going down.

#include "ReviewedSentences.h"
#include "WindowHarness.h"

#include "anki/CourseSentences.h"
#include "platform/system/CourseLibrary.h"
#include "record/StudyRecord.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {


// The grades reviewed since `since`, read from the record's file.
QList<int> gradesSince(const QString& file, qint64 since)
{
    QList<int> grades;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "review-test");
        db.setDatabaseName(file);
        if (db.open()) {
            QSqlQuery query(db);
            query.prepare("SELECT grade FROM review_log WHERE at >= ? ORDER BY id");
            query.addBindValue(since);
            query.exec();
            while (query.next())
                grades << query.value(0).toInt();
        }
    }
    QSqlDatabase::removeDatabase("review-test");
    return grades;
}

void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), modifiers);
}

void answer(const QString& text)
{
    QTest::keyClicks(QApplication::focusWidget(), text);
    press(Qt::Key_Return);
}

TEST(ReviewWindow, TwoDueSentencesAreReviewedByKeyboardAndTheirGradesReachTheRecord)
{
    QList<ExportSentence> due;
    WindowHarness h([&](const QString& folder) { due = reviewedLongAgo(folder); });
    ASSERT_EQ(due.size(), 2);
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    auto* button = f.findChild<QToolButton*>("btReview");
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->text() == "今日复习 (2)"; }, 5000)) << button->text().toStdString();
    const QStringList lessonPlayer = h.player().log;

    press(Qt::Key_F9);
    auto* form = f.findChild<QDialog*>("ReviewForm");
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowActive(form));
    auto* progress = form->findChild<QLabel*>("lbReviewProgress");
    ASSERT_TRUE(QTest::qWaitFor([&] { return progress->text() == "第 1 / 2 句"; }, 5000));
    // The more overdue sentence first, heard from its own range.
    EXPECT_TRUE(h.reviewPlayer().fileName().endsWith("tlx1001.mp3")) << h.reviewPlayer().fileName().toStdString();
    EXPECT_TRUE(h.reviewPlayer().log.contains(QString("start %1").arg(due[1].start, 0, 'f', 2)));
    EXPECT_TRUE(h.reviewPlayer().isPlaying());
    EXPECT_EQ(h.player().log, lessonPlayer);

    // The hint gives the first letters; right with a hint proposes 困难,
    // and Enter takes it.
    press(Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(form->findChild<QLabel*>("lbReviewHint")->text().mid(3, 1), due[1].english.left(1));
    answer(due[1].english);
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewResult")->text().contains("正确"));
    press(Qt::Key_Return);

    // Wrong: the difference is marked and 重来 proposed; 1 takes it, and the
    // sentence comes back at the end.
    EXPECT_EQ(progress->text(), "第 2 / 2 句");
    answer("xyz");
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewResult")->text().contains("text-decoration:underline"));
    press(Qt::Key_1);
    EXPECT_EQ(progress->text(), "第 3 / 3 句（再来一次）");
    answer(due[0].english);
    press(Qt::Key_4);

    auto* summary = form->findChild<QLabel*>("lbReviewSummary");
    EXPECT_TRUE(summary->text().startsWith("复习完毕：复习了 2 句，答对 1 句。")) << summary->text().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([&] { return summary->text().contains("下次复习"); }, 5000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->text() == "今日复习 (0)"; }, 5000)) << button->text().toStdString();
    EXPECT_EQ(gradesSince(h.folder() + kRecordFile, started), QList<int>({2, 1, 4}));
}

TEST(ReviewWindow, ASentenceWhoseRecordingIsMissingIsSkippedWithAWord)
{
    WindowHarness h([&](const QString& folder) {
        reviewedLongAgo(folder);
        const QString books = folder + "/books";
        QFile::remove(QDir(books).filePath(QDir(books).entryList(QDir::Dirs | QDir::NoDotAndDotDot).first() +
                                           "/tlx1001.mp3"));
    });
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btReview");
    auto* form = f.findChild<QDialog*>("ReviewForm");
    ASSERT_NE(form, nullptr);
    auto* notice = form->findChild<QLabel*>("lbReviewNotice");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notice->text().isEmpty(); }, 5000));
    EXPECT_TRUE(notice->text().contains("已跳过")) << notice->text().toStdString();
    EXPECT_TRUE(notice->text().contains("tlx1001.mp3")) << notice->text().toStdString();
    EXPECT_TRUE(form->findChild<QLabel*>("lbReviewSummary")->text().startsWith("复习完毕：复习了 0 句"));
}

}  // namespace
