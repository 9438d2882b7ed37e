// Shadow-reading comparison: the sub-statuses, their buttons, recording and
// playing takes, the loop, page presses, and leaving the mode.

#include "PlayerLog.h"
#include "WindowHarness.h"

#include "platform/system/Waits.h"
#include "study/CompareStatus.h"
#include "study/StudyStatus.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

#include <filesystem>

#include <gtest/gtest.h>

namespace {

const char* const kTake = "yourvoice.wav";

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void enter(MainForm& f) { f.Toolbar1_ButtonClick("btCompare"); }

// Records a take and stops: the loop starts with the take.
void recordTake(MainForm& f)
{
    ui(f).btRecord->click();
    ui(f).btCompareStop->click();
}

// ----- Which buttons each sub-status leaves to press -----

// Each sub-status as the learner reaches it, and the buttons it then offers:
// R record, D standard, U the take, L loop, N next, S stop.
struct ReachedStatus {
    const char* name;
    void (*reach)(MainForm& f);
    const char* label;
    const char* offered;
};

const ReachedStatus kReachedStatuses[] = {
    {"Entered", [](MainForm&) {}, "静止状态", "RDN"},
    {"StandardOnce", [](MainForm& f) { ui(f).btStandard->click(); }, "正在播放标准发音", "RNS"},
    {"LoopOfTheNextSentence",
     [](MainForm& f) {
         recordTake(f);
         ui(f).btCompareNext->click();
         ui(f).btLoop->click();
     },
     "循环对比: 标准发音", "RDUNS"},
    {"Recording", [](MainForm& f) { ui(f).btRecord->click(); }, "正在录音", "S"},
    {"LoopWithTake", [](MainForm& f) { recordTake(f); }, "循环对比: 您的声音", "RDUNS"},
    {"StoppedWithTake", [](MainForm& f) { recordTake(f); ui(f).btCompareStop->click(); }, "静止状态", "RDULN"},
    {"TakeOnce",
     [](MainForm& f) {
         recordTake(f);
         ui(f).btUser->click();
     },
     "正在播放您的声音", "RDLNS"},
    {"StandardOnceWithTake",
     [](MainForm& f) {
         recordTake(f);
         ui(f).btStandard->click();
     },
     "正在播放标准发音", "RULNS"},
};

class CompareButtons : public ::testing::TestWithParam<ReachedStatus> {};

TEST_P(CompareButtons, EachSubStatusOffersItsButtons)
{
    const ReachedStatus& row = GetParam();
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    row.reach(f);
    const NamedControls c = ui(f);
    QString offered;
    const std::pair<char, QPushButton*> buttons[] = {{'R', c.btRecord}, {'D', c.btStandard}, {'U', c.btUser},
                                                     {'L', c.btLoop},   {'N', c.btCompareNext}, {'S', c.btCompareStop}};
    for (const auto& [letter, button] : buttons) {
        if (button->isEnabled())
            offered += letter;
    }
    EXPECT_EQ(c.lbCompareStatus->text(), row.label);
    EXPECT_EQ(offered, row.offered);
}

INSTANTIATE_TEST_SUITE_P(AsReached, CompareButtons, ::testing::ValuesIn(kReachedStatuses),
                         [](const auto& info) { return std::string(info.param.name); });

// ----- The transitions of the sub-status, row by row -----

// What is sounding after a transition.
enum class Sounding { Nothing, Standard, Take, Recording };

Sounding soundingIn(WindowHarness& h)
{
    if (h.recorder().isRecording())
        return Sounding::Recording;
    if (h.wavePlayer().isPlaying())
        return Sounding::Take;
    return h.player().isPlaying() ? Sounding::Standard : Sounding::Nothing;
}

using Step = std::function<void(WindowHarness&, MainForm&)>;

struct TransitionRow {
    const char* name;
    Step reach;
    int from;
    Step event;
    int to;
    Sounding sounding;
};

const Step kIdle = [](WindowHarness&, MainForm&) {};
const Step kIdleWithTake = [](WindowHarness& h, MainForm& f) {
    recordTake(f);
    ui(f).btCompareStop->click();
    WindowHarness::settle();
    ASSERT_EQ(soundingIn(h), Sounding::Nothing);
};
const Step kRecording = [](WindowHarness&, MainForm& f) { ui(f).btRecord->click(); };
const Step kPlayStandard = [](WindowHarness&, MainForm& f) { ui(f).btStandard->click(); };
const Step kPlayUser = [](WindowHarness&, MainForm& f) {
    recordTake(f);
    ui(f).btUser->click();
};
const Step kLoopStandardAlone = [](WindowHarness&, MainForm& f) { f.modes().comparison().btLoop_Click(); };
const Step kLoopStandardWithTake = [](WindowHarness& h, MainForm& f) {
    recordTake(f);
    h.wavePlayer().sendDone(WaveDevice::DoneSuccessful);
};
const Step kLoopUser = [](WindowHarness&, MainForm& f) { recordTake(f); };

// The procedure itself: the row holds whether or not the button is enabled.
Step call(void (ComparisonMode::*procedure)())
{
    return [procedure](WindowHarness&, MainForm& f) { (f.modes().comparison().*procedure)(); };
}
const Step kEndOfStandard = [](WindowHarness& h, MainForm&) { ASSERT_TRUE(h.player().finishRange()); };
const Step kTakePlayedToItsEnd = [](WindowHarness& h, MainForm&) {
    ASSERT_TRUE(h.wavePlayer().sendDone(WaveDevice::DoneSuccessful));
};
const Step kPressOnEnglishText = [](WindowHarness& h, MainForm&) { ASSERT_TRUE(h.press("engs5")); };

// clang-format off
const TransitionRow kTransitionRows[] = {
    {"IdleRecord",                kIdle,                  CompareIdle,         call(&ComparisonMode::btRecord_Click),      CompareRecording,    Sounding::Recording},
    {"LoopUserRecord",            kLoopUser,              CompareLoopUser,     call(&ComparisonMode::btRecord_Click),      CompareRecording,    Sounding::Recording},
    {"IdleStandard",              kIdle,                  CompareIdle,         call(&ComparisonMode::btStandard_Click),    ComparePlayStandard, Sounding::Standard},
    {"LoopUserStandard",          kLoopUser,              CompareLoopUser,     call(&ComparisonMode::btStandard_Click),    ComparePlayStandard, Sounding::Standard},
    {"IdleUserWithTake",          kIdleWithTake,          CompareIdle,         call(&ComparisonMode::btUser_Click),        ComparePlayUser,     Sounding::Take},
    {"LoopStandardUserWithTake",  kLoopStandardWithTake,  CompareLoopStandard, call(&ComparisonMode::btUser_Click),        ComparePlayUser,     Sounding::Take},
    {"PlayStandardUserNoTake",    kPlayStandard,          ComparePlayStandard, call(&ComparisonMode::btUser_Click),        CompareIdle,         Sounding::Nothing},
    {"IdleLoopWithTake",          kIdleWithTake,          CompareIdle,         call(&ComparisonMode::btLoop_Click),        CompareLoopUser,     Sounding::Take},
    {"IdleLoopNoTake",            kIdle,                  CompareIdle,         call(&ComparisonMode::btLoop_Click),        CompareLoopStandard, Sounding::Standard},
    {"PlayUserLoop",              kPlayUser,              ComparePlayUser,     call(&ComparisonMode::btLoop_Click),        CompareLoopUser,     Sounding::Take},
    {"LoopUserNext",              kLoopUser,              CompareLoopUser,     call(&ComparisonMode::btCompareNext_Click), CompareIdle,         Sounding::Nothing},
    {"PlayStandardNext",          kPlayStandard,          ComparePlayStandard, call(&ComparisonMode::btCompareNext_Click), CompareIdle,         Sounding::Nothing},
    {"LoopStandardPressText",     kLoopStandardAlone,     CompareLoopStandard, kPressOnEnglishText,                   CompareIdle,         Sounding::Nothing},
    {"LoopUserPressText",         kLoopUser,              CompareLoopUser,     kPressOnEnglishText,                   CompareIdle,         Sounding::Nothing},
    {"RecordingStop",             kRecording,             CompareRecording,    call(&ComparisonMode::btCompareStop_Click), CompareLoopUser,     Sounding::Take},
    {"PlayStandardStop",          kPlayStandard,          ComparePlayStandard, call(&ComparisonMode::btCompareStop_Click), CompareIdle,         Sounding::Nothing},
    {"LoopStandardStop",          kLoopStandardAlone,     CompareLoopStandard, call(&ComparisonMode::btCompareStop_Click), CompareIdle,         Sounding::Nothing},
    {"PlayUserStop",              kPlayUser,              ComparePlayUser,     call(&ComparisonMode::btCompareStop_Click), CompareIdle,         Sounding::Nothing},
    {"LoopUserStop",              kLoopUser,              CompareLoopUser,     call(&ComparisonMode::btCompareStop_Click), CompareIdle,         Sounding::Nothing},
    {"PlayStandardEnds",          kPlayStandard,          ComparePlayStandard, kEndOfStandard,                        CompareIdle,         Sounding::Nothing},
    {"LoopStandardEndsWithTake",  kLoopStandardWithTake,  CompareLoopStandard, kEndOfStandard,                        CompareLoopUser,     Sounding::Take},
    {"LoopStandardEndsAlone",     kLoopStandardAlone,     CompareLoopStandard, kEndOfStandard,                        CompareLoopStandard, Sounding::Standard},
    {"PlayUserDone",              kPlayUser,              ComparePlayUser,     kTakePlayedToItsEnd,                   CompareIdle,         Sounding::Nothing},
    {"LoopUserDone",              kLoopUser,              CompareLoopUser,     kTakePlayedToItsEnd,                   CompareLoopStandard, Sounding::Standard},
};
// clang-format on

void PrintTo(const TransitionRow& row, std::ostream* out) { *out << row.name; }

class CompareTransitions : public ::testing::TestWithParam<TransitionRow> {};

TEST_P(CompareTransitions, EventLeadsToItsSubStatus)
{
    const TransitionRow& row = GetParam();
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    row.reach(h, f);
    ASSERT_EQ(f.modes().comparison().compareStatus(), row.from);
    row.event(h, f);
    WindowHarness::settle();
    EXPECT_EQ(f.modes().comparison().compareStatus(), row.to);
    EXPECT_EQ(soundingIn(h), row.sounding);
}

INSTANTIATE_TEST_SUITE_P(Rows, CompareTransitions, ::testing::ValuesIn(kTransitionRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Comparison, StopWithoutATakeFileEndsIdleAndSaysWhy)
{
    WindowHarness h([](const QString& folder) { QFile::remove(folder + "/userblank.wav"); });
    MainForm& f = h.load();
    enter(f);
    ui(f).btRecord->click();
    EXPECT_FALSE(ui(f).pnNotice->text().isEmpty());
    ui(f).btCompareStop->click();
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
}

// ----- The loop and the other cases of the mode -----

TEST(Comparison, RecordStopThenTheLoopAlternatesTakeAndStandard)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    EXPECT_EQ(f.findChild<QToolButton*>("btCompare")->text(), "停止对比");
    f.session().SetCurSentence(3);
    ui(f).btRecord->click();
    EXPECT_EQ(h.recorder().log, QStringList({"Open yourvoice.wav", "Record yourvoice.wav"}));
    EXPECT_TRUE(h.recorder().isRecording());
    ui(f).btCompareStop->click();
    EXPECT_EQ(h.recorder().log.mid(2), QStringList({"Save yourvoice.wav", "Close yourvoice.wav"}));
    int mark = h.player().log.size();
    for (int round = 0; round < 2; ++round) {
        EXPECT_EQ(ui(f).lbCompareStatus->text(), "循环对比: 您的声音");
        EXPECT_TRUE(h.wavePlayer().isPlaying());
        EXPECT_EQ(h.wavePlayer().log.mid(h.wavePlayer().log.size() - 2),
                  QStringList({"Open yourvoice.wav", "Play yourvoice.wav"}));
        ASSERT_TRUE(h.wavePlayer().sendDone(WaveDevice::DoneSuccessful));
        EXPECT_EQ(h.wavePlayer().log.back(), "Close yourvoice.wav");
        EXPECT_EQ(ui(f).lbCompareStatus->text(), "循环对比: 标准发音");
        EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop") + sentenceRange(f, 3));
        ASSERT_TRUE(h.player().finishRange());
    }
    ui(f).btCompareStop->click();
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
    for (QPushButton* b : {ui(f).btRecord, ui(f).btStandard, ui(f).btUser, ui(f).btLoop, ui(f).btCompareNext})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
    EXPECT_FALSE(ui(f).btCompareStop->isEnabled());
}

TEST(Comparison, StopWaitsForTheTakesDoneInsideTheStop)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    ASSERT_NE(f.modes().comparison().isComparePlaying(), 0);
    ui(f).btCompareStop->click();
    // The player's Done for the stopped take was handled within the stop.
    EXPECT_EQ(f.modes().comparison().isComparePlaying(), 0);
    EXPECT_EQ(h.wavePlayer().log.mid(h.wavePlayer().log.size() - 2),
              QStringList({"Stop yourvoice.wav", "Close yourvoice.wav"}));
}

TEST(Comparison, StopGivesUpWaitingForDoneAfterTwoSeconds)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    ASSERT_EQ(f.modes().comparison().compareStatus(), CompareLoopUser);
    ASSERT_TRUE(f.modes().comparison().isComparePlaying());
    h.wavePlayer().reportsStops = false;
    // The wait's clock moves 10 ms each time it is read.
    double now = 0;
    setManualWaitClock([&now] { return now += 10; });
    ui(f).btCompareStop->click();
    setManualWaitClock({});
    EXPECT_GE(now, 2000);
    EXPECT_LT(now, 2100);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
}

TEST(Comparison, StandardWhileTheTakePlaysStopsTheTakeFirst)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    int mark = h.player().log.size();
    ui(f).btStandard->click();
    EXPECT_FALSE(h.wavePlayer().isPlaying());
    EXPECT_EQ(ui(f).lbCompareStatus->text(), "正在播放标准发音");
    EXPECT_EQ(takeSince(h.player().log, mark), sentenceRange(f, 0));
}

TEST(Comparison, NextAfterATakeForgetsItButLeavesTheLoopButton)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    ui(f).btCompareNext->click();
    EXPECT_EQ(f.modes().comparison().hasTake(), 0);
    EXPECT_FALSE(ui(f).btUser->isEnabled());
    EXPECT_TRUE(ui(f).btLoop->isEnabled());
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(h.colourOf("engs1"), "cc0000");
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 2 句");
    ui(f).btLoop->click();
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareLoopStandard);
    EXPECT_EQ(soundingIn(h), Sounding::Standard);
}

TEST(Comparison, NextOnTheLastSentenceStopsFirstThenRefuses)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    f.session().SetCurSentence(7);
    recordTake(f);
    ui(f).btCompareNext->click();
    EXPECT_EQ(h.boxes().shown, QStringList("已经是最后一个句子了"));
    EXPECT_EQ(f.session().currentSentence(), 7);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
    EXPECT_NE(f.modes().comparison().hasTake(), 0);
}

TEST(Comparison, IconPressDuringTheLoopPlaysThatSentenceOnceAndKeepsTheTake)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    int mark = h.player().log.size();
    ASSERT_TRUE(h.press("imgs6"));
    EXPECT_FALSE(h.wavePlayer().isPlaying());
    EXPECT_EQ(f.session().currentSentence(), 6);
    EXPECT_EQ(f.modes().comparison().compareStatus(), ComparePlayStandard);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop") + sentenceRange(f, 6));
    ASSERT_TRUE(h.player().finishRange());
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_TRUE(ui(f).btUser->isEnabled());
    ui(f).btUser->click();
    EXPECT_EQ(f.modes().comparison().compareStatus(), ComparePlayUser);
    EXPECT_TRUE(h.wavePlayer().isPlaying());
}

TEST(Comparison, ReadOnlyTakeIsMadeWritableAndOverwritten)
{
    WindowHarness h;
    MainForm& f = h.load();
    {
        QFile old(h.folder() + "/" + kTake);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an old take from elsewhere");
    }
    QFile::setPermissions(h.folder() + "/" + kTake, QFile::ReadOwner | QFile::ReadGroup);
    enter(f);
    ui(f).btRecord->click();
    EXPECT_TRUE(QFile::permissions(h.folder() + "/" + kTake) & QFile::WriteOwner);
    // The fake recorder writes nothing: the take is the fresh copy of the
    // blank it starts from.
    EXPECT_EQ(contentOf(h.folder() + "/" + kTake), contentOf(h.folder() + "/userblank.wav"));
}

TEST(Comparison, LeavingWhileRecordingDiscardsTheTakeAndReleasesTheMicrophone)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    ui(f).btRecord->click();
    f.Toolbar1_ButtonClick("btCompare");
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_EQ(f.findChild<QToolButton*>("btCompare")->text(), "跟读对比");
    EXPECT_FALSE(h.recorder().isRecording());
    EXPECT_FALSE(h.recorder().isOpen());
    EXPECT_FALSE(h.recorder().log.contains("Save yourvoice.wav"));
    WindowHarness::settle();
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
    enter(f);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_FALSE(ui(f).btUser->isEnabled());
}

TEST(Comparison, LeavingWhileTheTakePlaysStopsItAndNothingFollows)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    f.Toolbar1_ButtonClick("btCompare");
    EXPECT_FALSE(h.wavePlayer().isPlaying());
    WindowHarness::settle();
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
    EXPECT_EQ(f.modes().comparison().isComparePlaying(), 0);
    // Entering again: idle, and the take recorded earlier is still there.
    enter(f);
    EXPECT_EQ(f.modes().comparison().compareStatus(), CompareIdle);
    EXPECT_TRUE(ui(f).btUser->isEnabled());
    EXPECT_TRUE(ui(f).btLoop->isEnabled());
}

TEST(Comparison, LeavingWhileTheStandardLoopsStopsTheLessonPlayer)
{
    WindowHarness h;
    MainForm& f = h.load();
    enter(f);
    recordTake(f);
    ASSERT_TRUE(h.wavePlayer().sendDone(WaveDevice::DoneSuccessful));
    ASSERT_EQ(soundingIn(h), Sounding::Standard);
    f.Toolbar1_ButtonClick("btCompare");
    WindowHarness::settle();
    EXPECT_EQ(soundingIn(h), Sounding::Nothing);
    EXPECT_FALSE(h.player().finishRange());
}

}  // namespace

namespace {

TEST(Comparison, LoopOfASentenceWithoutLengthStopsInsteadOfSpinning)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.btCompare_click();
    setSentenceLength(f, 0, 0.0);
    f.modes().comparison().btLoop_Click();
    WindowHarness::settle(100);
    EXPECT_EQ(f.modes().comparison().compareStatus(), 0);
    EXPECT_LE(h.player().log.count("play"), 1);
}

}  // namespace
