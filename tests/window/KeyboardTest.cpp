// The window by keyboard alone: mode keys, sentence keys, the comparison's and
// dictation's keys, the speed keys, and what text boxes keep for themselves.

#include "PlayerLog.h"
#include "WindowHarness.h"

#include "shell/window/Keys.h"
#include "study/CompareStatus.h"
#include "study/StudyStatus.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The window shown and active, as the learner has it.
MainForm& activeWindow(WindowHarness& h)
{
    MainForm& f = h.load();
    f.show();
    f.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&f));
    return f;
}

// A key where the learner's key goes: to the focused control, or the window.
void press(MainForm& f, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : &f, Qt::Key(key), modifiers);
}

struct CommandKey {
    const char* command;
    int key;
    int status;  // the mode it enters; 0 for a command that opens a window
};

class CommandKeys : public ::testing::TestWithParam<CommandKey> {};

// Each toolbar button runs its command, named as the toolbar has always
// called it, and keeps its function key whatever buttons come after it.
TEST_P(CommandKeys, EachCommandHasItsActionAndItsKeyAndAModeKeyEntersItsMode)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    const CommandKey k = GetParam();
    auto* action = f.findChild<QAction*>(k.command);
    ASSERT_NE(action, nullptr) << k.command;
    EXPECT_EQ(action->shortcut(), QKeySequence(k.key));
    int boundTo = 0;
    for (const KeyBinding& binding : f.findChild<Keys*>()->bindings()) {
        if (binding.key == k.key && binding.modifiers == Qt::NoModifier) {
            ASSERT_NE(binding.button, nullptr);
            EXPECT_EQ(binding.button->objectName(), k.command);
            ++boundTo;
        }
    }
    EXPECT_EQ(boundTo, 1);
    if (k.status == 0)
        return;
    press(f, k.key);
    EXPECT_EQ(f.session().status(), k.status);
    // Every other mode's button is disabled now: its key does nothing.
    for (int other = Qt::Key_F2; other <= Qt::Key_F6; ++other) {
        if (other != k.key)
            press(f, other);
    }
    EXPECT_EQ(f.session().status(), k.status);
    press(f, Qt::Key_Escape);
    EXPECT_EQ(f.session().status(), StatusLesson);
    press(f, Qt::Key_Escape);
    EXPECT_EQ(f.session().status(), StatusLesson);
}

INSTANTIATE_TEST_SUITE_P(
    Toolbar, CommandKeys,
    ::testing::Values(CommandKey{"btBrowse", Qt::Key_F2, StatusBrowse}, CommandKey{"btCompare", Qt::Key_F3, StatusCompare},
                      CommandKey{"btSpell", Qt::Key_F4, StatusSpell},
                      CommandKey{"btThinkEnglish", Qt::Key_F5, StatusThinkEnglish},
                      CommandKey{"btWords", Qt::Key_F6, StatusWords}, CommandKey{"btMp3", Qt::Key_F7, 0},
                      CommandKey{"btStudyRecord", Qt::Key_F8, 0}, CommandKey{"btReview", Qt::Key_F9, 0},
                      CommandKey{"btImport", Qt::Key_F10, 0}),
    [](const auto& info) { return std::string(info.param.command); });

TEST(Keys, ArrowsAndSpaceActAsPressesOnTheLessonPage)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    press(f, Qt::Key_Down);
    press(f, Qt::Key_Down);
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(h.colourOf("engs2"), "cc0000");
    EXPECT_FALSE(h.player().isPlaying());
    press(f, Qt::Key_Up);
    int mark = h.player().log.size();
    press(f, Qt::Key_Space);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop"}) + sentenceRange(f, 1));

    // Auto-browse: an arrow jumps and plays.
    press(f, Qt::Key_F2);
    mark = h.player().log.size();
    press(f, Qt::Key_Down);
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop", "stop"}) + sentenceRange(f, 2));
    press(f, Qt::Key_Escape);

    // Recall-English: Down shows the next hidden English line, Up hides the
    // last one shown; the current sentence stays.
    press(f, Qt::Key_F5);
    const RecallEnglishMode& recall = f.modes().recallEnglish();
    press(f, Qt::Key_Down);
    press(f, Qt::Key_Down);
    EXPECT_TRUE(recall.isEnglishShown(0));
    EXPECT_TRUE(recall.isEnglishShown(1));
    EXPECT_FALSE(recall.isEnglishShown(2));
    press(f, Qt::Key_Up);
    EXPECT_FALSE(recall.isEnglishShown(1));
    EXPECT_EQ(h.colourOf("engs1"), "ffffff");
    EXPECT_EQ(f.session().currentSentence(), 2);
}

TEST(Keys, AFocusedListKeepsItsArrowsAndTheLessonPageGetsTheKeyboardBack)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    ui(f).lsLesson->setFocus();
    press(f, Qt::Key_Down);
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 1);
    EXPECT_EQ(f.session().currentSentence(), 0);
    press(f, Qt::Key_F6);
    press(f, Qt::Key_Escape);
    press(f, Qt::Key_Down);
    EXPECT_EQ(ui(f).lsLesson->currentRow(), 1);
    EXPECT_EQ(f.session().currentSentence(), 1);
}

TEST(Keys, TheAnswerBoxKeepsWhatItTypesButPageKeysStepTheDictation)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    press(f, Qt::Key_F4);
    ASSERT_TRUE(ui(f).teSpell->hasFocus());
    for (const int key : {Qt::Key_R, Qt::Key_S, Qt::Key_Space, Qt::Key_D})
        press(f, key);
    EXPECT_EQ(ui(f).teSpell->text(), "rs d");
    press(f, Qt::Key_Down);
    EXPECT_EQ(f.session().currentSentence(), 0);
    press(f, Qt::Key_PageDown);
    press(f, Qt::Key_PageDown);
    EXPECT_EQ(f.session().currentSentence(), 2);
    press(f, Qt::Key_PageUp);
    EXPECT_EQ(f.session().currentSentence(), 1);
    // Letters come straight from the keyboard, past any input method.
    EXPECT_FALSE(ui(f).teSpell->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST(Keys, LettersPressTheComparisonButtonsThatAreEnabled)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    press(f, Qt::Key_R);  // not in the comparison: nothing
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    press(f, Qt::Key_F3);
    press(f, Qt::Key_U);  // no take yet: the button is disabled
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    press(f, Qt::Key_R);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareRecording);
    press(f, Qt::Key_S);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareLoopUser);
    press(f, Qt::Key_D);
    EXPECT_EQ(f.modes().comparison().compareStatus(), ComparePlayStandard);
    press(f, Qt::Key_N);
    EXPECT_EQ(f.session().currentSentence(), 1);
}

TEST(Keys, CtrlArrowsStepTheSpeedWithinTheList)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    auto* speed = f.findChild<QComboBox*>("cbSpeed");
    press(f, Qt::Key_Down, Qt::ControlModifier);
    EXPECT_EQ(speed->currentText(), "90%");
    EXPECT_EQ(f.playback().speedPercent(), 90);
    for (int i = 0; i < 3; ++i)
        press(f, Qt::Key_Up, Qt::ControlModifier);
    EXPECT_EQ(speed->currentText(), "125%");
    EXPECT_EQ(f.session().currentSentence(), 0);
}

TEST(Keys, F1ListsEveryKeyAndEveryButtonNamesItsKey)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    press(f, Qt::Key_F1);
    auto* table = f.findChild<QDialog*>("KeyTableForm");
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->windowTitle(), "键盘快捷键");
    QStringList listed;
    auto* rows = table->findChild<QTableWidget*>();
    for (int row = 0; row < rows->rowCount(); ++row)
        listed << rows->item(row, 0)->text();
    for (const char* key : {"F1", "F2", "F3", "F4", "F5", "F6", "Esc", "空格", "↑", "↓", "Ctrl+↑", "Ctrl+↓", "R", "D",
                            "U", "L", "N", "S", "PgUp", "PgDn"})
        EXPECT_TRUE(listed.contains(key)) << key;
    for (QAbstractButton* button : f.findChildren<QAbstractButton*>()) {
        const bool ours = !button->objectName().startsWith("qt_");  // not the toolbar's overflow arrow
        if (ours && (qobject_cast<QPushButton*>(button) || qobject_cast<QToolButton*>(button))) {
            EXPECT_TRUE(button->toolTip().contains("快捷键：")) << button->objectName().toStdString();
            // A button showing its icon alone is named by its tip.
            auto* tool = qobject_cast<QToolButton*>(button);
            if (tool != nullptr && tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
                EXPECT_TRUE(tool->toolTip().startsWith(tool->text())) << button->objectName().toStdString();
        }
    }
    EXPECT_EQ(f.findChild<QToolButton*>("btBrowse")->toolTip(), "快捷键：F2");
    EXPECT_EQ(ui(f).btRecord->toolTip(), "快捷键：R 或 Alt+R");
    EXPECT_EQ(ui(f).btSpellNext->toolTip(), "快捷键：PgDn 或 Alt+N");
}

// A focused button or check box keeps the keys it uses: Space presses the
// button, and an arrow on a check box leaves dictation's sentence where the
// hint shows it.
TEST(Keys, FocusedButtonsAndCheckBoxesKeepSpaceAndTheArrows)
{
    WindowHarness h;
    MainForm& f = activeWindow(h);
    press(f, Qt::Key_F4);
    ASSERT_EQ(f.session().status(), StatusSpell);
    ui(f).ckSpellShowEnglish->setFocus();
    press(f, Qt::Key_Down);
    EXPECT_EQ(f.session().currentSentence(), 0);
    ui(f).btSpellNext->setFocus();
    press(f, Qt::Key_Space);
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 2 句");
}

}  // namespace
