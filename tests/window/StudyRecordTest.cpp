// The study record in the window: the lesson list's marks, the record window
// and dictation of the hard sentences alone.

#include "WindowHarness.h"

#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

namespace {

void answerWrong(MainForm& f)
{
    ui(f).teSpell->setText("wrong");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
}

TEST(StudyRecordWindow, HardOnlyDictationStepsThroughTheSentencesAnsweredWrongTwice)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    auto* hardOnly = f.findChild<QCheckBox*>("ckSpellHardOnly");
    hardOnly->setChecked(true);
    ui(f).btSpellNext->click();
    EXPECT_EQ(h.boxes().shown, QStringList("本课没有难句"));
    EXPECT_EQ(f.session().currentSentence(), 0);

    hardOnly->setChecked(false);
    for (const int sentence : {2, 5}) {
        while (f.session().currentSentence() < sentence)
            ui(f).btSpellNext->click();
        answerWrong(f);
        answerWrong(f);
    }
    ui(f).btToStart->click();
    hardOnly->setChecked(true);
    std::vector<int> visited;
    for (int step = 0; step < 3; ++step) {
        ui(f).btSpellNext->click();
        visited.push_back(f.session().currentSentence());
    }
    EXPECT_EQ(visited, std::vector<int>({2, 5, 2}));
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 3 句");
    ui(f).btSpellPrev->click();
    EXPECT_EQ(f.session().currentSentence(), 5);
}

TEST(StudyRecordWindow, TheRecordWindowListsTheLessonsAndTheHardSentences)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    ui(f).btSpellNext->click();
    answerWrong(f);
    answerWrong(f);
    const QString english = GetESentence(f.session().page(), 1)->innerHtml().trimmed();
    f.Toolbar1_ButtonClick("btStudyRecord");
    auto* form = f.findChild<QDialog*>("StudyRecordForm");
    ASSERT_NE(form, nullptr);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->windowTitle(), "学习记录");
    auto* hard = form->findChild<QTableWidget*>("hardTable");
    ASSERT_EQ(hard->rowCount(), 1);
    EXPECT_EQ(hard->item(0, 0)->text(), english);
    auto* lessons = form->findChild<QTableWidget*>("lessonTable");
    ASSERT_TRUE(QTest::qWaitFor([&] { return lessons->rowCount() == ui(f).lsLesson->count(); }, 5000));
    EXPECT_EQ(lessons->item(0, 0)->text(), ui(f).lsLesson->item(0)->text());
    EXPECT_EQ(lessons->item(0, 2)->text(), "0 / 8");
}

TEST(StudyRecordWindow, AStudiedLessonIsMarkedAndKeepsItsTitle)
{
    WindowHarness h;
    MainForm& f = h.load();
    const QString title = ui(f).lsLesson->item(0)->text();
    EXPECT_TRUE(ui(f).lsLesson->item(0)->icon().isNull());
    ASSERT_TRUE(h.press("imgs0"));
    ui(f).lsLesson->setCurrentRow(1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !ui(f).lsLesson->item(0)->icon().isNull(); }, 5000));
    EXPECT_EQ(ui(f).lsLesson->item(0)->text(), title);
    EXPECT_TRUE(ui(f).lsLesson->item(1)->icon().isNull());

    // The marks are set again after every load, with the one icon of their
    // kind: a new icon each time would render and cache its pictures anew.
    const qint64 studied = ui(f).lsLesson->item(0)->icon().cacheKey();
    ASSERT_TRUE(h.press("imgs0"));
    ui(f).lsLesson->setCurrentRow(2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !ui(f).lsLesson->item(1)->icon().isNull(); }, 5000));
    EXPECT_EQ(ui(f).lsLesson->item(1)->icon().cacheKey(), studied);
    EXPECT_EQ(ui(f).lsLesson->item(0)->icon().cacheKey(), studied);
}

}  // namespace
