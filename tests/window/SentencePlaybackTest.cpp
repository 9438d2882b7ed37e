// Playing one sentence of the lesson recording, and what the end of a
// sentence means outside the modes that step on it.

#include "WindowHarness.h"

#include "study/SentencePlayback.h"
#include "study/StudyStatus.h"

#include <QComboBox>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// Start times of the sentences of volume 1, lesson 1, as its timing file
// gives them; the harness's recording lasts kRecordingSeconds.
const char* const kStarts[] = {"0.35", "3.61", "7.30", "9.65", "13.25", "15.73", "18.33", "20.65"};

QStringList rangeOf(int sentence)
{
    const QString end = sentence + 1 < 8 ? kStarts[sentence + 1]
                                         : QString::number(WindowHarness::kRecordingSeconds, 'f', 2);
    return {QString("start ") + kStarts[sentence], "end " + end, QString("position ") + kStarts[sentence], "play"};
}

QStringList since(const QStringList& log, int mark) { return log.mid(mark); }

TEST(SentencePlayback, IconPressStopsThenPlaysExactlyThatSentencesRange)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_EQ(f.session().sentenceCount(), 8);
    for (int sentence : {3, 0, 7, 5, 2}) {
        const int mark = h.player().log.size();
        ASSERT_TRUE(h.press(QString("imgs%1").arg(sentence)));
        // The page press stops the player, and so does PlaySentence itself.
        EXPECT_EQ(since(h.player().log, mark), QStringList({"stop", "stop"}) + rangeOf(sentence)) << sentence;
        EXPECT_EQ(f.session().currentSentence(), sentence);
        EXPECT_TRUE(h.player().isPlaying());
    }
}

TEST(SentencePlayback, ASpeedChosenWhileASentencePlaysCountsFromTheNextPlay)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("imgs1"));
    auto* speed = f.findChild<QComboBox*>("cbSpeed");
    ASSERT_EQ(speed->count(), 7);
    speed->setCurrentIndex(speed->findText("80%"));
    EXPECT_EQ(h.player().log.last(), "rate 0.80");
    EXPECT_DOUBLE_EQ(h.player().rangeRate(), 1.0);
    ASSERT_TRUE(h.press("imgs2"));
    EXPECT_DOUBLE_EQ(h.player().rangeRate(), 0.8);
    EXPECT_EQ(h.wavePlayer().log.filter("rate").size(), 0);
}

TEST(SentencePlayback, LastSentenceRunsToTheEndOfTheRecording)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.playback().PlaySentence(7, false);
    EXPECT_DOUBLE_EQ(h.player().selectionStart(), 20.65);
    EXPECT_DOUBLE_EQ(h.player().selectionEnd(), WindowHarness::kRecordingSeconds);
}

TEST(SentencePlayback, PlayWithoutStopFirstNeitherStopsNorMarks)
{
    WindowHarness h;
    MainForm& f = h.load();
    const int mark = h.player().log.size();
    f.playback().PlaySentence(4, false);
    EXPECT_EQ(since(h.player().log, mark), rangeOf(4));
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(h.colourOf("engs4"), "009933");
}

TEST(SentencePlayback, PressWhilePlayingEndsTheFirstSentenceWithoutItsEnd)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("imgs1"));
    ASSERT_TRUE(h.press("engs6"));
    // The text press stopped sentence 1 and played nothing: no range is left
    // to end.
    EXPECT_FALSE(h.player().isPlaying());
    EXPECT_FALSE(h.player().finishRange());
    EXPECT_EQ(f.session().currentSentence(), 6);
    EXPECT_EQ(h.player().log.back(), "stop");
}

// A word heard as said: its stretch plays exactly, and its end is no
// sentence's end, which a mode would step on; the next sentence's is again.
TEST(SentencePlayback, AStretchPlaysExactlyAndItsEndIsNoSentencesEnd)
{
    WindowHarness h;
    MainForm& f = h.load();
    QSignalSpy ends(&f.playback(), &SentencePlayback::rangeEnded);
    const int mark = h.player().log.size();
    f.playback().playStretch(4.25, 4.8);
    EXPECT_EQ(since(h.player().log, mark), QStringList({"stop", "start 4.25", "end 4.80", "position 4.25", "play"}));
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle();
    EXPECT_EQ(ends.size(), 0);
    f.playback().PlaySentence(2, true);
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle();
    EXPECT_EQ(ends.size(), 1);
}

// Outside auto-browse and comparison, the end of a sentence changes nothing.
class EndOfSentenceOutsideSteppingModes : public ::testing::TestWithParam<const char*> {};

TEST_P(EndOfSentenceOutsideSteppingModes, LeavesPlayerAndMarkingAlone)
{
    WindowHarness h;
    MainForm& f = h.load();
    const QString modeButton = GetParam();
    if (!modeButton.isEmpty())
        f.Toolbar1_ButtonClick(modeButton);
    f.session().SetCurSentence(2);
    f.playback().PlaySentence(2, true);
    const int status = f.session().status();
    const int mark = h.player().log.size();
    ASSERT_TRUE(h.player().finishRange());
    WindowHarness::settle();
    EXPECT_EQ(since(h.player().log, mark), QStringList());
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(f.session().status(), status);
    EXPECT_TRUE(h.boxes().shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Statuses, EndOfSentenceOutsideSteppingModes,
                         ::testing::Values("", "btThinkEnglish", "btSpell", "btWords"),
                         [](const auto& info) {
                             return std::string(*info.param ? info.param : "btLesson");
                         });

}  // namespace
