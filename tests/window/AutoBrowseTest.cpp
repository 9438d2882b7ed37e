// Auto-browse: repeats, pauses, the end-of-lesson question, stops and jumps.

#include "PlayerLog.h"
#include "WindowHarness.h"

#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const char* const kQuestion = "自动浏览结束，需要再来一遍吗";

enum GapPosition { GapNone = 0, GapOneSecond = 1, GapOneLength = 3, GapOneAndHalf = 4, GapTwice = 5, GapThrice = 6 };

QString browseCaption(MainForm& f) { return f.findChild<QToolButton*>("btBrowse")->text(); }

void choose(MainForm& f, int repeatPosition, int gapPosition)
{
    ui(f).cbRepeatTimes->setCurrentIndex(repeatPosition);
    ui(f).cbBrowseGap->setCurrentIndex(gapPosition);
}

// Runs `action` once, `ms` from now, inside whatever wait is then running.
void during(int ms, const std::function<void()>& action) { QTimer::singleShot(ms, action); }

TEST(AutoBrowse, RepeatOnceWithoutGapPlaysEverySentenceFromTheCurrentOneThenAsks)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapNone);
    int mark = h.player().log.size();
    f.Toolbar1_ButtonClick("btBrowse");
    EXPECT_EQ(f.session().status(), StatusBrowse);
    EXPECT_EQ(browseCaption(f), "停止浏览");
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop") + sentenceRange(f, 0));
    for (int k = 1; k < f.session().sentenceCount(); ++k) {
        ASSERT_TRUE(h.player().finishRange());
        EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, k)) << k;
        EXPECT_EQ(f.session().currentSentence(), k);
        EXPECT_EQ(h.colourOf(QString("engs%1").arg(k)), "cc0000");
        EXPECT_EQ(h.colourOf(QString("engs%1").arg(k - 1)), "009933");
        EXPECT_TRUE(h.boxes().shown.isEmpty());
    }
    // No answer queued: No. Browsing stops as the button stops it.
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(h.boxes().shown, QStringList(kQuestion));
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_EQ(browseCaption(f), "自动浏览");
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop"));
}

TEST(AutoBrowse, RepeatThreeTimesPlaysEachSentenceThreeTimesBackToBack)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 2, GapNone);
    f.Toolbar1_ButtonClick("btBrowse");
    int mark = h.player().log.size();
    for (int k = 0; k < 2; ++k) {
        for (int again = 0; again < 2; ++again) {
            ASSERT_TRUE(h.player().finishRange());
            EXPECT_EQ(takeSince(h.player().log, mark), QStringList("play")) << k;
            EXPECT_EQ(f.session().currentSentence(), k);
        }
        ASSERT_TRUE(h.player().finishRange());
        EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, k + 1));
    }
}

TEST(AutoBrowse, StartsAtSentenceSevenAndYesRestartsAtZeroWithTheFullRepeatCount)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_EQ(f.session().sentenceCount(), 8);
    choose(f, 1, GapNone);
    ASSERT_TRUE(h.press("engs7"));
    int mark = h.player().log.size();
    f.Toolbar1_ButtonClick("btBrowse");
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop") + sentenceRange(f, 7));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("play"));
    h.boxes().answers = {true};
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(h.boxes().shown, QStringList(kQuestion));
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 0));
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(h.colourOf("engs0"), "cc0000");
    EXPECT_EQ(h.colourOf("engs7"), "009933");
    EXPECT_EQ(f.session().status(), StatusBrowse);
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("play"));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 1));
}

struct GapCase {
    int position;
    int sentenceLength;
    int previousGap;
    int expectedGap;
};

class GapTable : public ::testing::TestWithParam<GapCase> {};

TEST_P(GapTable, SetBrowseGapFollowsTheSelectedEntry)
{
    WindowHarness h;
    MainForm& f = h.load();
    const GapCase c = GetParam();
    AutoBrowseMode& autoBrowse = f.modes().autoBrowse();
    // The gap before: one sentence length of previousGap ms.
    ui(f).cbBrowseGap->setCurrentIndex(GapOneLength);
    autoBrowse.SetBrowseGap(c.previousGap);
    ui(f).cbBrowseGap->setCurrentIndex(c.position);
    autoBrowse.SetBrowseGap(c.sentenceLength);
    EXPECT_EQ(autoBrowse.gapMs(), c.expectedGap);
}

INSTANTIATE_TEST_SUITE_P(Entries, GapTable,
                         ::testing::Values(GapCase{0, 2345, 7, 0}, GapCase{1, 2345, 7, 1000}, GapCase{2, 2345, 7, 2000},
                                           GapCase{3, 2345, 7, 2345}, GapCase{4, 2345, 7, 3518},
                                           GapCase{4, 2347, 7, 3520}, GapCase{4, 2346, 7, 3519},
                                           GapCase{4, 1001, 7, 1502}, GapCase{4, 1003, 7, 1504},
                                           GapCase{5, 2345, 7, 4690}, GapCase{6, 2345, 7, 7035},
                                           GapCase{3, 0, 7, 0}, GapCase{6, -40, 7, -120},
                                           GapCase{-1, 2345, 777, 777}));

struct RangeGapCase {
    double length;
    int position;
    int expectedGap;
};

class PauseAfterPlayedRange : public ::testing::TestWithParam<RangeGapCase> {};

// The sentence length is read back from the player's range and rounded, halves
// to even, before the gap is computed from it.
TEST_P(PauseAfterPlayedRange, LengthComesFromThePlayersRange)
{
    WindowHarness h;
    MainForm& f = h.load();
    const RangeGapCase c = GetParam();
    choose(f, 0, c.position);
    setSentenceLength(f, 0, c.length);
    f.Toolbar1_ButtonClick("btBrowse");
    int gapInPause = -1;
    during(0, [&] { gapInPause = f.modes().autoBrowse().gapMs(); });
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(gapInPause, c.expectedGap);
    EXPECT_EQ(f.session().currentSentence(), 1);
}

TEST(AutoBrowse, PausesOfSentenceLengthsLastAsLongAsTheSentenceWasHeard)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapTwice);
    setSentenceLength(f, 0, 0.3);
    f.findChild<QComboBox*>("cbSpeed")->setCurrentIndex(0);  // 50 %
    f.Toolbar1_ButtonClick("btBrowse");
    int gapInPause = -1;
    during(0, [&] { gapInPause = f.modes().autoBrowse().gapMs(); });
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(gapInPause, 1200);
}

INSTANTIATE_TEST_SUITE_P(Lengths, PauseAfterPlayedRange,
                         ::testing::Values(RangeGapCase{0.045, GapOneAndHalf, 68}, RangeGapCase{0.047, GapOneAndHalf, 70},
                                           RangeGapCase{0.045, GapThrice, 135}, RangeGapCase{0.0451, GapOneLength, 45},
                                           RangeGapCase{0.05, GapTwice, 100}));

TEST(AutoBrowse, StopDuringAPauseEndsAtOnceAndNothingPlaysWhenThePauseIsOver)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapOneLength);
    setSentenceLength(f, 0, 0.3);
    f.Toolbar1_ButtonClick("btBrowse");
    int statusAfterStop = 0;
    QString captionAfterStop;
    int mark = h.player().log.size();
    during(50, [&] {
        f.Toolbar1_ButtonClick("btBrowse");
        statusAfterStop = f.session().status();
        captionAfterStop = browseCaption(f);
    });
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(statusAfterStop, StatusLesson);
    EXPECT_EQ(captionAfterStop, "自动浏览");
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop"));
    EXPECT_EQ(f.session().currentSentence(), 0);
}

TEST(AutoBrowse, JumpDuringAPauseTakesOverAndThatPauseDoesNotStep)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapOneLength);
    setSentenceLength(f, 0, 0.3);
    setSentenceLength(f, 5, 0.02);
    f.Toolbar1_ButtonClick("btBrowse");
    int mark = h.player().log.size();
    during(50, [&] { h.press("engs5"); });
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop", "stop"}) + sentenceRange(f, 5));
    EXPECT_EQ(f.session().currentSentence(), 5);
    EXPECT_EQ(f.modes().autoBrowse().repeatCount(), 0);
    EXPECT_EQ(f.session().status(), StatusBrowse);
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 6));
    EXPECT_EQ(f.session().currentSentence(), 6);
}

// A jumped-to sentence that ends during the first pause starts a pause of its
// own inside it; the next sentence is played once, by the inner pause, and
// the outer one, whose sentence was left by the jump, does not step again.
TEST(AutoBrowse, NestedPauseAfterAJumpStepsOnlyOnce)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapOneLength);
    setSentenceLength(f, 0, 0.3);
    setSentenceLength(f, 5, 0.02);
    f.Toolbar1_ButtonClick("btBrowse");
    int mark = h.player().log.size();
    during(30, [&] { h.press("imgs5"); });
    during(60, [&] { h.player().finishRange(); });
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle(50);
    EXPECT_EQ(takeSince(h.player().log, mark),
              QStringList({"stop", "stop", "stop"}) + sentenceRange(f, 5) + sentenceRange(f, 6));
    EXPECT_EQ(f.session().currentSentence(), 6);
    EXPECT_EQ(h.colourOf("engs6"), "cc0000");
    EXPECT_EQ(h.colourOf("engs7"), "009933");
}

// Only the latest pause may step. Pressing the sentence before the one just
// played starts that sentence inside the pause; its own pause steps on to the
// next, and the first pause, when it is over, must not step again and cut it.
TEST(AutoBrowse, PressOnThePreviousSentenceDuringAPauseLetsTheNextOnePlayOut)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapOneLength);
    setSentenceLength(f, 1, 0.02);
    setSentenceLength(f, 2, 0.3);
    ASSERT_TRUE(h.press("engs2"));
    f.Toolbar1_ButtonClick("btBrowse");
    int mark = h.player().log.size();
    during(30, [&] { h.press("imgs1"); });
    during(60, [&] { h.player().finishRange(); });
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle(50);
    EXPECT_EQ(takeSince(h.player().log, mark),
              QStringList({"stop", "stop", "stop"}) + sentenceRange(f, 1) + sentenceRange(f, 2));
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_TRUE(h.player().isPlaying());
}

// Stopping and starting again inside a pause plays the current sentence
// afresh; the pause that was interrupted does not step when it is over.
TEST(AutoBrowse, RestartDuringAPauseLetsTheRestartedSentencePlayOut)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapOneLength);
    setSentenceLength(f, 0, 0.3);
    f.Toolbar1_ButtonClick("btBrowse");
    int mark = h.player().log.size();
    during(50, [&] {
        f.Toolbar1_ButtonClick("btBrowse");
        f.Toolbar1_ButtonClick("btBrowse");
    });
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle(50);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop"}) + sentenceRange(f, 0));
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(f.session().status(), StatusBrowse);
    EXPECT_TRUE(h.player().isPlaying());
}

TEST(AutoBrowse, PressWhilePlayingRestartsThereWithTheFullRepeatCount)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 1, GapNone);
    f.Toolbar1_ButtonClick("btBrowse");
    ASSERT_TRUE(h.player().finishRange());  // sentence 0, first of two plays
    int mark = h.player().log.size();
    ASSERT_TRUE(h.press("engs5"));
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop", "stop"}) + sentenceRange(f, 5));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("play"));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 6));
}

TEST(AutoBrowse, RepeatListChangedWhileASentencePlaysCountsAtItsEnd)
{
    WindowHarness h;
    MainForm& f = h.load();
    choose(f, 0, GapNone);
    f.Toolbar1_ButtonClick("btBrowse");
    ui(f).cbRepeatTimes->setCurrentIndex(1);
    emit ui(f).cbRepeatTimes->activated(1);
    EXPECT_EQ(f.modes().autoBrowse().repeatTimes(), 2);
    int mark = h.player().log.size();
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("play"));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 1));
}

TEST(AutoBrowse, StartRereadsTheRepeatList)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.modes().autoBrowse().setRepeatTimes(5);
    choose(f, 0, GapNone);
    f.Toolbar1_ButtonClick("btBrowse");
    EXPECT_EQ(f.modes().autoBrowse().repeatTimes(), 1);
    EXPECT_EQ(f.modes().autoBrowse().repeatCount(), 0);
}

TEST(AutoBrowse, ShowChineseSwitchRegeneratesThePageWithSentenceZeroCurrent)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(ui(f).ckShowChinese->isChecked());
    ASSERT_TRUE(h.press("engs3"));
    const int pages = h.content().navigations().size();
    ui(f).ckShowChinese->click();
    EXPECT_EQ(f.session().showChinese(), 0);
    EXPECT_EQ(h.content().navigations().size(), pages + 1);
    EXPECT_EQ(f.session().page()->itemById("chns0"), nullptr);
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(h.colourOf("engs0"), "cc0000");
    ui(f).ckShowChinese->click();
    EXPECT_NE(f.session().showChinese(), 0);
    EXPECT_NE(f.session().page()->itemById("chns0"), nullptr);
    EXPECT_EQ(h.content().navigations().size(), pages + 2);
}

}  // namespace
