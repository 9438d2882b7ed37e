// The study statuses: what each mode shows and offers as the learner enters
// it, the switch between modes, and the toolbar that reaches the mode
// procedures by name.

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

// The controls a learner can see and use, read from the window.
struct ShownControls {
    QString panelText;
    QStringList shown;    // of the pages and panels
    QStringList enabled;  // of the mode buttons, the lists and the show-Chinese switch

    bool operator==(const ShownControls& o) const
    {
        return panelText == o.panelText && shown == o.shown && enabled == o.enabled;
    }
};

void PrintTo(const ShownControls& c, std::ostream* out)
{
    *out << c.panelText.toStdString() << " shown " << c.shown.join(',').toStdString() << " enabled "
         << c.enabled.join(',').toStdString();
}

ShownControls controlsOf(MainForm& f)
{
    const NamedControls c = ui(f);
    ShownControls seen{c.pnStatus->text(), {}, {}};
    const std::pair<const char*, QWidget*> parts[] = {{"wbContent", c.wbContent}, {"wbWords", c.wbWords},
                                                      {"piBrowse", c.piBrowse},   {"piSpell", c.piSpell},
                                                      {"piCompare", c.piCompare}};
    for (const auto& [name, widget] : parts) {
        if (!widget->isHidden())
            seen.shown << name;
    }
    for (const char* key : {"btBrowse", "btCompare", "btSpell", "btThinkEnglish", "btWords"}) {
        if (f.findChild<QToolButton*>(key)->isEnabled())
            seen.enabled << key;
    }
    if (c.cbVolume->isEnabled() && c.lsLesson->isEnabled())
        seen.enabled << "lists";
    if (c.ckShowChinese->isEnabled())
        seen.enabled << "ckShowChinese";
    return seen;
}

struct ModeCase {
    const char* key;
    int status;
    const char* caption;
    const char* runningCaption;
    // While the mode runs: its own button stays enabled to leave it; the
    // lists stay usable only in recall-English.
    ShownControls running;
};

const QStringList kAllModeButtons = {"btBrowse", "btCompare", "btSpell", "btThinkEnglish", "btWords"};

class ToolbarMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ToolbarMode, ButtonEntersItsModeShowingItsControlsAndLeavesItWithBothCaptions)
{
    const ModeCase& mode = GetParam();
    WindowHarness h;
    MainForm& f = h.load();
    const ShownControls idle{"课文学习", {"wbContent"}, kAllModeButtons + QStringList{"lists", "ckShowChinese"}};
    QToolButton* button = f.findChild<QToolButton*>(mode.key);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), mode.caption);

    button->click();
    EXPECT_EQ(f.session().status(), mode.status);
    EXPECT_EQ(button->text(), mode.runningCaption);
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    EXPECT_EQ(controlsOf(f), mode.running);
    WindowHarness::settle();

    button->click();
    WindowHarness::settle();
    EXPECT_EQ(f.session().status(), 1);
    EXPECT_EQ(button->text(), mode.caption);
    EXPECT_EQ(controlsOf(f), idle);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ToolbarMode,
    ::testing::Values(
        ModeCase{"btBrowse", 2, "自动浏览", "停止浏览", {"自动浏览", {"wbContent", "piBrowse"}, {"btBrowse"}}},
        ModeCase{"btCompare", 6, "跟读对比", "停止对比", {"跟读对比", {"wbContent", "piCompare"}, {"btCompare"}}},
        ModeCase{"btSpell", 5, "逆向听写", "停止听写", {"逆向听写", {"wbContent", "piSpell"}, {"btSpell"}}},
        ModeCase{"btThinkEnglish", 3, "回想英文", "停止回想", {"回想英文", {"wbContent"}, {"btThinkEnglish", "lists"}}},
        ModeCase{"btWords", 7, "学词汇", "学课文", {"词汇学习", {"wbWords"}, {"btWords"}}}),
    [](const auto& info) { return std::string(info.param.key); });

// Switching leaves the running mode before the next enters: dictation's
// Chinese lines go with it even when the next mode is entered directly.
TEST(ModeSwitch, TheRunningModeLeavesBeforeTheNextEnters)
{
    WindowHarness h([](const QString& folder) { writeSettings(folder + "/settings.ini", {{"ShowChinese", "0"}}); });
    MainForm& f = h.load();
    f.btSpell_click();
    ASSERT_TRUE(f.session().showChinese());
    f.modes().switchTo(f.modes().recallEnglish());
    EXPECT_EQ(f.session().status(), 3);
    EXPECT_FALSE(f.session().showChinese());
}

TEST(Toolbar, DispatchesByItsExactKeyAndNothingElse)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("BTWORDS");
    EXPECT_EQ(f.session().status(), 1);
    f.Toolbar1_ButtonClick("btWords");
    EXPECT_EQ(f.session().status(), 7);
    f.Toolbar1_ButtonClick("btNoSuchButton");
    EXPECT_EQ(f.session().status(), 7);
}

TEST(Toolbar, ButtonsStandInTheirOrderWithTheirIcons)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.show();
    WindowHarness::settle(50);
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
                                 "btStudyRecord", "btReview", "btImport"}));
    // The speed list closes the row, beside the toolbar.
    ASSERT_NE(last, nullptr);
    auto* speed = f.findChild<QWidget*>("cbSpeed");
    ASSERT_NE(speed, nullptr);
    EXPECT_GE(speed->mapTo(&f, QPoint(0, 0)).x(), last->mapTo(&f, QPoint(last->width(), 0)).x());
    EXPECT_LT(speed->mapTo(&f, QPoint(0, 0)).y(), ui(f).Toolbar1->mapTo(&f, QPoint(0, ui(f).Toolbar1->height())).y());
}

}  // namespace
