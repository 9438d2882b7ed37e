// The study statuses: what every status shows and enables, and the toolbar
// that reaches the mode procedures by name.

#include "WindowHarness.h"

#include "platform/web/HtmlView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// Expected state: 1 shown/enabled, 0 hidden/disabled.
struct StatusRow {
    int status;
    const char* panel;
    int ckShowChinese, wbContent, wbWords, piBrowse, piSpell, piCompare, lists;
    int btBrowse, btSpell, btCompare, btThinkEnglish, btWords;
};

// Each row is entered from the idle status, where every control is in its
// idle state, so "keep" shows as that idle state.
const StatusRow kRows[] = {
    {1, "课文学习", 1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1},
    {2, "自动浏览", 0, 1, 0, 1, 0, 0, 0, 1, 0, 0, 0, 0},
    {3, "回想英文", 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0},
    {5, "逆向听写", 0, 1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0},
    {6, "跟读对比", 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0},
    {7, "词汇学习", 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 1},
};

class SetStatusRow : public ::testing::TestWithParam<StatusRow> {};

TEST_P(SetStatusRow, ShowsAndEnablesExactlyTheStatusControls)
{
    const StatusRow& row = GetParam();
    WindowHarness h;
    MainForm& f = h.load();
    f.session().SetStatus(row.status);

    auto enabled = [&f](const char* key) { return int(f.findChild<QToolButton*>(key)->isEnabled()); };
    EXPECT_EQ(f.session().status(), row.status);
    EXPECT_EQ(ui(f).pnStatus->text(), row.panel);
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    EXPECT_EQ(int(ui(f).ckShowChinese->isEnabled()), row.ckShowChinese);
    EXPECT_EQ(int(!ui(f).wbContent->isHidden()), row.wbContent);
    EXPECT_EQ(int(!ui(f).wbWords->isHidden()), row.wbWords);
    EXPECT_EQ(int(!ui(f).piBrowse->isHidden()), row.piBrowse);
    EXPECT_EQ(int(!ui(f).piSpell->isHidden()), row.piSpell);
    EXPECT_EQ(int(!ui(f).piCompare->isHidden()), row.piCompare);
    EXPECT_EQ(int(ui(f).cbVolume->isEnabled()), row.lists);
    EXPECT_EQ(int(ui(f).lsLesson->isEnabled()), row.lists);
    EXPECT_EQ(enabled("btBrowse"), row.btBrowse);
    EXPECT_EQ(enabled("btSpell"), row.btSpell);
    EXPECT_EQ(enabled("btCompare"), row.btCompare);
    EXPECT_EQ(enabled("btThinkEnglish"), row.btThinkEnglish);
    EXPECT_EQ(enabled("btWords"), row.btWords);
    EXPECT_EQ(enabled("btMp3"), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, SetStatusRow, ::testing::ValuesIn(kRows),
                         [](const auto& info) { return "Status" + std::to_string(info.param.status); });

TEST(SetStatus, ModeStatusesKeepWhatTheyDoNotName)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.session().SetStatus(7);  // word page shown, lesson page hidden
    f.session().SetStatus(3);
    EXPECT_TRUE(ui(f).wbContent->isHidden());
    EXPECT_FALSE(ui(f).wbWords->isHidden());
    EXPECT_FALSE(ui(f).cbVolume->isEnabled());
}

TEST(SetStatus, ValueWithoutAStatusOnlyStoresItHidesTheWelcomePageAndDisablesShowChinese)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_FALSE(ui(f).wbAdv->isHidden());
    f.session().SetStatus(4);
    EXPECT_EQ(f.session().status(), 4);
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    EXPECT_FALSE(ui(f).ckShowChinese->isEnabled());
    EXPECT_EQ(ui(f).pnStatus->text(), "课文学习");
    EXPECT_TRUE(ui(f).cbVolume->isEnabled());
    EXPECT_TRUE(f.findChild<QToolButton*>("btWords")->isEnabled());
}

struct ModeCase {
    const char* key;
    int status;
    const char* caption;
    const char* runningCaption;
};

class ToolbarMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ToolbarMode, ButtonEntersItsModeAndLeavesItWithBothCaptions)
{
    const ModeCase& mode = GetParam();
    WindowHarness h;
    MainForm& f = h.load();
    QToolButton* button = f.findChild<QToolButton*>(mode.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), mode.caption);

    button->click();
    EXPECT_EQ(f.session().status(), mode.status);
    EXPECT_EQ(button->text(), mode.runningCaption);
    WindowHarness::settle();

    button->click();
    WindowHarness::settle();
    EXPECT_EQ(f.session().status(), 1);
    EXPECT_EQ(button->text(), mode.caption);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ToolbarMode,
                         ::testing::Values(ModeCase{"btBrowse", 2, "自动浏览", "停止浏览"},
                                           ModeCase{"btCompare", 6, "跟读对比", "停止对比"},
                                           ModeCase{"btSpell", 5, "逆向听写", "停止听写"},
                                           ModeCase{"btThinkEnglish", 3, "回想英文", "停止回想"},
                                           ModeCase{"btWords", 7, "学词汇", "学课文"}),
                         [](const auto& info) { return std::string(info.param.key); });

TEST(Toolbar, DispatchesByKeyWithoutRegardToCaseAndIgnoresUnknownKeys)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("BTWORDS");
    EXPECT_EQ(f.session().status(), 7);
    f.Toolbar1_ButtonClick("btWords");
    EXPECT_EQ(f.session().status(), 1);
    f.Toolbar1_ButtonClick("btNoSuchButton");
    EXPECT_EQ(f.session().status(), 1);
}

TEST(Toolbar, ButtonsStandInTheirOrderWithTheirIcons)
{
    WindowHarness h;
    MainForm& f = h.load();
    QStringList keys;
    QWidget* last = nullptr;
    for (QAction* action : ui(f).Toolbar1->actions()) {
        last = ui(f).Toolbar1->widgetForAction(action);
        if (auto* button = qobject_cast<QToolButton*>(last)) {
            keys << button->objectName();
            EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
        }
    }
    EXPECT_EQ(keys, QStringList({"btBrowse", "btCompare", "btSpell", "btThinkEnglish", "btWords", "btMp3",
                                 "btStudyRecord", "btImport"}));
    // The speed list closes the row.
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->objectName(), "cbSpeed");
}

}  // namespace
