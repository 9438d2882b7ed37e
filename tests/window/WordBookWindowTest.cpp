// The word book's window on the window's stand-ins: the words of a record
// kept before the start, with the sentences they were met in; a sentence
// played in its lesson, which the window goes to; one whose lesson is gone
// keeps its text and says it cannot be heard; a word taken out.

#include "NamedControls.h"
#include "WindowHarness.h"

#include "record/StudyRecord.h"
#include "study/StudySession.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

const QString kVolume = "Trellis英语第1册";

void keep(StudyRecord& record, const QString& word, const QString& lesson, int number, const QString& english,
          qint64 at)
{
    RecordEvent e;
    e.kind = RecordEvent::WordSaved;
    e.at = at;
    e.word = word;
    e.forms = {word};
    e.form = word;
    e.sentence = {kVolume, lesson, number, "h", english, "中文。"};
    record.add(e);
}

TEST(WordBookWindow, ListsTheKeptWordsAndPlaysTheirSentencesInTheirLessons)
{
    WindowHarness h([](const QString& folder) {
        StudyRecord record(folder + "/record/study.sqlite");
        keep(record, "name", "Lesson 2 新同学", 0, "Hello, my name is Li Ming.", 1000);
        keep(record, "gone", "Lesson 9 已删除", 3, "It has gone.", 2000);
    });
    MainForm& f = h.load();
    f.findChild<QAction*>("btWordBook")->trigger();
    auto* book = f.findChild<QTreeWidget*>("lsWordBook");
    ASSERT_NE(book, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([book] { return book->topLevelItemCount() == 2; }, 5000));
    // The latest kept first, each with its first meaning and its sentence.
    EXPECT_EQ(book->topLevelItem(0)->text(0), "gone");
    QTreeWidgetItem* name = book->topLevelItem(1);
    EXPECT_EQ(name->text(0), "name");
    EXPECT_TRUE(name->text(1).contains("名字")) << name->text(1).toStdString();
    ASSERT_EQ(name->childCount(), 1);
    EXPECT_EQ(name->child(0)->text(0), "Hello, my name is Li Ming.");
    EXPECT_EQ(name->child(0)->text(1), kVolume + " · Lesson 2 新同学");

    auto* play = book->window()->findChild<QPushButton*>("btWordBookPlay");
    book->setCurrentItem(name->child(0));
    play->click();
    EXPECT_EQ(f.session().lessonName().title, "Lesson 2 新同学");
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_TRUE(h.player().isPlaying());
    EXPECT_DOUBLE_EQ(h.player().selectionStart(), 0.35);

    book->setCurrentItem(book->topLevelItem(0)->child(0));
    play->click();
    EXPECT_EQ(f.session().lessonName().title, "Lesson 2 新同学") << "the window stays where it was";
    EXPECT_TRUE(ui(f).pnNotice->text().contains("已不在课本中")) << ui(f).pnNotice->text().toStdString();

    book->setCurrentItem(book->topLevelItem(0));
    book->window()->findChild<QPushButton*>("btWordBookRemove")->click();
    ASSERT_TRUE(QTest::qWaitFor([book] { return book->topLevelItemCount() == 1; }, 5000));
    EXPECT_EQ(book->topLevelItem(0)->text(0), "name");
}

}  // namespace
