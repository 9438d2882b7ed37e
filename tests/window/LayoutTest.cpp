// The layout arithmetic of the window, in twips; and the toolbar's row of
// the window at its default size and at the smallest it allows.

#include "WindowHarness.h"

#include "shell/window/FormLayout.h"

#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The window as designed, as the desktop it was made for measures it:
// client 12690 x 10845 plus its frame.
constexpr float kDesignW = 12690 + 180;
constexpr float kDesignH = 10845 + 630;

TEST(ResizeLayout, DesignSizeFillsTheClientArea)
{
    FormLayout l = FormLayout::design();
    ASSERT_TRUE(ResizeLayout(l, kDesignW, kDesignH));
    EXPECT_EQ(l.wbContent.top, 1230);
    EXPECT_EQ(l.wbContent.height, kDesignH - 435 - 1230 - 630);
    EXPECT_EQ(l.wbContent.width, kDesignW - 3000 - 180);
    EXPECT_EQ(l.lsLesson.height, l.wbContent.height);
    for (const TwipsRect* panel : {&l.piBrowse, &l.piCompare, &l.piSpell}) {
        EXPECT_EQ(panel->left, 3000);
        EXPECT_EQ(panel->width, l.wbContent.width);
    }
    EXPECT_EQ(l.piSpell.top, 720);
    EXPECT_EQ(l.piBrowse.top, 720);
    EXPECT_EQ(l.ckShowChinese.left, kDesignW - 1125 - 300);
    EXPECT_EQ(l.ckShowChinese.top, 720);
    EXPECT_EQ(l.lbCurLesson.top, (525 - 285) / 2 + 720);
    EXPECT_EQ(l.lbCurLesson.width, l.piBrowse.width);
    EXPECT_EQ(l.piSpell.height, 1230 + l.lsLesson.height - 720);
    EXPECT_EQ(l.teSpell.width, std::nearbyint(l.piSpell.width - 2 * (240 - 15)));
    EXPECT_EQ(l.lineSpellX2, 2 * l.piSpell.width);
    for (const TwipsRect* browser : {&l.wbWords, &l.wbAdv}) {
        EXPECT_EQ(browser->left, l.wbContent.left);
        EXPECT_EQ(browser->top, l.wbContent.top);
        EXPECT_EQ(browser->width, l.wbContent.width);
        EXPECT_EQ(browser->height, l.wbContent.height);
    }
}

TEST(ResizeLayout, DictationBoxesShareThePanelHeightStackedWithGapsOf105)
{
    FormLayout l = FormLayout::design();
    ASSERT_TRUE(ResizeLayout(l, kDesignW, kDesignH));
    const float e = std::nearbyint((l.piSpell.height - 510 - 735 - 3 * 225) / 3);
    EXPECT_EQ(l.teEnglish.height, e);
    EXPECT_EQ(l.teChinese.height, e);
    EXPECT_EQ(l.teSpell.height, e);
    EXPECT_EQ(l.teEnglish.top, 630 + 225 + 105);
    EXPECT_EQ(l.lbChineseTitle.top, l.teEnglish.top + e + 105);
    EXPECT_EQ(l.teChinese.top, l.lbChineseTitle.top + 225 + 105);
    EXPECT_EQ(l.lbSpellTitle.top, l.teChinese.top + e + 105);
    EXPECT_EQ(l.teSpell.top, l.lbSpellTitle.top + 225 + 105);
}

TEST(ResizeLayout, TooSmallWindowsChangeNothing)
{
    const std::pair<float, float> sizes[] = {{899, 9000}, {5000, 435 + 360 + 2399}};
    for (const auto& [w, h] : sizes) {
        FormLayout l = FormLayout::design();
        EXPECT_FALSE(ResizeLayout(l, w, h));
        EXPECT_EQ(l.wbContent.top, 720);
        EXPECT_EQ(l.wbContent.height, 8835);
        EXPECT_EQ(l.piSpell.top, 720);
    }
    FormLayout l = FormLayout::design();
    EXPECT_TRUE(ResizeLayout(l, 900, 435 + 360 + 2400));
}

TEST(ResizeLayout, NarrowWindowKeepsThePageWidthButPanelsFollowIt)
{
    FormLayout l = FormLayout::design();
    ASSERT_TRUE(ResizeLayout(l, kDesignW, kDesignH));
    const float lastWidth = l.wbContent.width;
    ASSERT_TRUE(ResizeLayout(l, 3400, kDesignH));  // 3400 - 3000 - 180 = 220 <= 300
    EXPECT_EQ(l.wbContent.width, lastWidth);
    EXPECT_EQ(l.piBrowse.width, lastWidth);
    EXPECT_EQ(l.wbAdv.width, lastWidth);
    EXPECT_EQ(l.ckShowChinese.left, 3400 - 1125 - 300);
}

TEST(ResizeLayout, LowWindowKeepsTheDictationBoxesHeightsAndTops)
{
    FormLayout l = FormLayout::design();
    ASSERT_TRUE(ResizeLayout(l, kDesignW, kDesignH));
    const TwipsRect english = l.teEnglish;
    const TwipsRect spell = l.teSpell;
    // A height at which each box would get 300 twips or less.
    ASSERT_TRUE(ResizeLayout(l, kDesignW + 2000, 4000));
    EXPECT_EQ(l.teEnglish.height, english.height);
    EXPECT_EQ(l.teEnglish.top, english.top);
    EXPECT_EQ(l.teSpell.top, spell.top);
    EXPECT_EQ(l.teSpell.width, std::nearbyint(l.piSpell.width - 2 * (240 - 15)));
    EXPECT_EQ(l.wbContent.height, 4000 - 435 - 1230 - 630);
}

TEST(ResizeLayout, ComparisonPanelHoldsTheViewAndPushesThePageDown)
{
    const struct {
        float H;
        float viewHeight;
    } cases[] = {{kDesignH, 2160}, {4000, std::nearbyint((4000 - 435 - 1230 - 630) / 2.0f)}};
    for (const auto& c : cases) {
        FormLayout l = FormLayout::design();
        ASSERT_TRUE(ResizeLayout(l, kDesignW + 1500, c.H));
        EXPECT_EQ(l.wvCompare.height, c.viewHeight) << c.H;
        // The pronunciation's rows, under the view, close the panel.
        EXPECT_EQ(l.lbSpokenWords.top, l.wvCompare.top + l.wvCompare.height + 120) << c.H;
        EXPECT_EQ(l.piCompare.top + l.piCompare.height,
                  std::min(l.piCompare.top + l.lbPractice.top + l.lbPractice.height + 120,
                           l.wbContent.top + l.wbContent.height)) << c.H;
        // The view stretches with the panel; the scores keep to its right end.
        EXPECT_EQ(l.wvCompare.left + l.wvCompare.width + 1800 + 120, l.piCompare.width);
        EXPECT_EQ(l.lbSimilarity.left + 1800, l.piCompare.width);
        EXPECT_LT(l.lbSimilarity.top + l.lbSimilarity.height, l.lbIntonation.top);
        const TwipsRect page = PageBelowComparePanel(l);
        EXPECT_EQ(page.top, l.piCompare.top + l.piCompare.height) << c.H;
        EXPECT_EQ(page.top + page.height, l.wbContent.top + l.wbContent.height) << c.H;
        EXPECT_EQ(page.width, l.wbContent.width);
    }
}

TEST(ResizeLayout, HalvesRoundToTheEvenNeighbour)
{
    FormLayout l = FormLayout::design();
    // piSpell width 3001 - 2 * 225 = 2551: whole. Make it a half: width
    // 3000.5 gives 2550.5, which rounds to 2550.
    ASSERT_TRUE(ResizeLayout(l, 3000 + 180 + 3000.5f, kDesignH));
    EXPECT_EQ(l.teSpell.width, 2550);
}

// Where a control stands in the window, and whether it shows there.
QRect inWindow(const QWidget* control, const QWidget& window)
{
    return QRect(control->mapTo(&window, QPoint(0, 0)), control->size());
}

TEST(WindowLayout, EveryToolbarControlShowsAtTheDefaultSizeAndTheSpeedAtAny)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.show();
    const struct {
        const char* name;
        QSize size;
        bool everyButton;
    } sizes[] = {{"default", f.size(), true}, {"smallest", f.minimumSize(), false}};
    QToolBar* toolbar = ui(f).Toolbar1;
    for (const auto& s : sizes) {
        SCOPED_TRACE(s.name);
        f.resize(s.size);
        WindowHarness::settle(50);
        ASSERT_EQ(f.size(), s.size);
        // 语速 and its list, whole inside the window and beside the toolbar.
        for (const QWidget* speed : {f.findChild<QWidget*>("lbSpeed"), f.findChild<QWidget*>("cbSpeed")}) {
            ASSERT_NE(speed, nullptr);
            EXPECT_TRUE(speed->isVisible()) << speed->objectName().toStdString();
            EXPECT_TRUE(f.rect().contains(inWindow(speed, f))) << speed->objectName().toStdString();
            EXPECT_FALSE(inWindow(speed, f).intersects(inWindow(toolbar, f))) << speed->objectName().toStdString();
        }
        if (!s.everyButton)
            continue;
        const auto* more = toolbar->findChild<QToolButton*>("qt_toolbar_ext_button");
        EXPECT_TRUE(more == nullptr || !more->isVisible());
        for (QAction* action : toolbar->actions()) {
            const QWidget* control = toolbar->widgetForAction(action);
            ASSERT_NE(control, nullptr);
            EXPECT_TRUE(control->isVisible()) << control->objectName().toStdString();
            EXPECT_TRUE(toolbar->rect().contains(control->geometry())) << control->objectName().toStdString();
        }
    }
}

}  // namespace
