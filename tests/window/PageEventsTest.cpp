// Presses on the lesson page, by study status.

#include "WindowHarness.h"

#include "platform/web/HtmlView.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

bool played(WindowHarness& h) { return h.player().log.contains("play"); }

TEST(PageEvents, LessonStatusTextSelectsAndIconSelectsAndPlays)
{
    WindowHarness h;
    MainForm& f = h.load();
    h.player().log.clear();
    ASSERT_TRUE(h.press("engs3"));
    EXPECT_EQ(f.session().currentSentence(), 3);
    EXPECT_EQ(h.colourOf("engs3"), "cc0000");
    EXPECT_EQ(h.player().log, QStringList({"stop"}));

    h.player().log.clear();
    ASSERT_TRUE(h.press("imgs5"));
    EXPECT_EQ(f.session().currentSentence(), 5);
    const QStringList expected{"stop", "stop", QString("start %1").arg(f.session().sentenceTimes()[5], 0, 'f', 2),
                               QString("end %1").arg(f.session().sentenceTimes()[6], 0, 'f', 2),
                               QString("position %1").arg(f.session().sentenceTimes()[5], 0, 'f', 2), "play"};
    EXPECT_EQ(h.player().log, expected);
}

TEST(PageEvents, ChineseLinesTakeNoPresses)
{
    WindowHarness h;
    MainForm& f = h.load();
    h.player().log.clear();
    EXPECT_FALSE(h.press("chns4"));
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_TRUE(h.player().log.isEmpty());
}

TEST(PageEvents, BrowseStatusJumpsToThePressedSentence)
{
    WindowHarness h;
    MainForm& f = h.load();
    ui(f).cbRepeatTimes->setCurrentIndex(1);
    f.btBrowse_Click();
    ASSERT_TRUE(h.player().finishRange());
    ASSERT_EQ(f.modes().autoBrowse().repeatCount(), 1);
    h.player().log.clear();
    ASSERT_TRUE(h.press("engs4"));
    EXPECT_EQ(f.session().currentSentence(), 4);
    EXPECT_EQ(f.modes().autoBrowse().repeatCount(), 0);
    EXPECT_TRUE(played(h));
}

TEST(PageEvents, RecallStatusTextTogglesVisibilityAndIconPlaysWithoutMarking)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.btThinkEnglish_click();
    ASSERT_EQ(h.colourOf("engs2"), "ffffff");
    h.press("engs2");
    EXPECT_EQ(h.colourOf("engs2"), "009933");
    EXPECT_TRUE(f.modes().recallEnglish().isEnglishShown(2));
    h.press("engs2");
    EXPECT_EQ(h.colourOf("engs2"), "ffffff");
    EXPECT_FALSE(f.modes().recallEnglish().isEnglishShown(2));
    h.player().log.clear();
    h.press("imgs2");
    EXPECT_TRUE(played(h));
    EXPECT_EQ(h.colourOf("engs2"), "ffffff");
    EXPECT_EQ(f.session().currentSentence(), 0);
}

TEST(PageEvents, SpellStatusOnlySelects)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.btSpell_click();
    h.player().log.clear();
    h.press("imgs6");
    EXPECT_EQ(f.session().currentSentence(), 6);
    EXPECT_EQ(h.player().log, QStringList({"stop"}));
}

TEST(PageEvents, CompareStatusStopsSelectsAndPlaysTheStandardOnTheIcon)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.btCompare_click();
    h.press("engs3");
    EXPECT_EQ(f.session().currentSentence(), 3);
    EXPECT_EQ(f.modes().comparison().compareStatus(), 0);
    h.player().log.clear();
    h.press("imgs6");
    EXPECT_EQ(f.session().currentSentence(), 6);
    EXPECT_EQ(f.modes().comparison().compareStatus(), 1);
    EXPECT_TRUE(played(h));
}

TEST(PageEvents, WordsStatusOnlyStopsThePlayer)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.btWords_click();
    h.player().log.clear();
    h.press("imgs3");
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(h.player().log, QStringList({"stop"}));
}

TEST(PageEvents, OldPageHandlersAreGoneAfterALoad)
{
    WindowHarness h;
    MainForm& f = h.load();
    // Held here, so that its elements outlive the reload.
    const std::shared_ptr<HtmlDocument> oldPage = h.content().document();
    ASSERT_EQ(oldPage.get(), f.session().page());
    HtmlElement* oldIcon = oldPage->itemById("imgs3");
    f.lsLesson_Click();  // reload the same lesson: a new page
    ASSERT_NE(f.session().page(), oldPage.get());
    h.player().log.clear();
    EXPECT_FALSE(h.content().press(oldIcon));
    EXPECT_TRUE(h.player().log.isEmpty());
    EXPECT_TRUE(h.press("imgs3"));
}

}  // namespace
