// The study modes in the real window with real audio: auto-browse timing,
// a sentence pressed on the live page, dictation typed on the keyboard, the
// comparison loop with a recorded take and its scores, and a recording that
// cannot play.

#include "ModesWindow.h"
#include "WavFiles.h"

#include "platform/analysis/AudioDecoding.h"
#include "shell/window/ComparisonView.h"
#include "study/StudyStatus.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cmath>

namespace {

// How far a measured time may be from the expected one. The player itself is
// far closer; the margin is for a loaded two-core machine.
constexpr qint64 kToleranceMs = 50;
// How late a play may start on a loaded machine before it counts as a fault.
constexpr qint64 kStartDelayLimitMs = 1000;

qint64 millisecondsOf(double seconds) { return std::llround(seconds * 1000); }

// Types text key by key; characters without a key of their own arrive as the
// text of a key event, as an input method delivers them.
void typeInto(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x80)
            QTest::keyClick(widget, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

TEST(ModesInRealWindow, AutoBrowsePlaysEachSentenceTwiceWithPausesOfOneSentenceLength)
{
    ModesWindow w;
    MainForm& f = w.load();
    ASSERT_EQ(f.session().sentenceCount(), 3);
    ui(f).cbRepeatTimes->setCurrentIndex(1);
    ui(f).cbBrowseGap->setCurrentIndex(3);  // "1 倍句长"
    ASSERT_EQ(ui(f).cbBrowseGap->currentText(), "1 倍句长");
    w.player().events.clear();
    f.Toolbar1_ButtonClick("btBrowse");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return !w.boxes().shown.isEmpty(); }, 40000));
    EXPECT_EQ(w.boxes().shown, QStringList("自动浏览结束，需要再来一遍吗"));
    EXPECT_EQ(f.session().status(), StatusLesson);

    const auto& events = w.player().events;
    ASSERT_EQ(events.size(), 12u);
    for (size_t i = 0; i < events.size(); ++i) {
        const int sentence = int(i / 4);
        const double start = ModesWindow::kSentenceStarts[sentence];
        const double end =
            sentence + 1 < 3 ? ModesWindow::kSentenceStarts[sentence + 1] : f.session().sentenceTimes()[3];
        SCOPED_TRACE("event " + std::to_string(i));
        EXPECT_EQ(events[i].isPlay, i % 2 == 0);
        EXPECT_DOUBLE_EQ(events[i].rangeStart, start);
        EXPECT_DOUBLE_EQ(events[i].rangeEnd, end);
        if (i == 0)
            continue;
        const qint64 since = events[i].atMs - events[i - 1].atMs;
        if (!events[i].isPlay) {
            // A play lasts its range, and a start delayed by a busy machine
            // makes it longer, never shorter.
            EXPECT_GE(since, millisecondsOf(end - start) - kToleranceMs);
            EXPECT_LT(since, millisecondsOf(end - start) + kStartDelayLimitMs);
        } else if (i % 4 == 2) {
            // The repeat follows at once.
            EXPECT_NEAR(since, 0, kToleranceMs);
        } else {
            // The pause after the second play lasts one length of the sentence
            // just heard, as heard: the next play comes the player's output
            // lead sooner, that much before its first sample sounds.
            const double heard = ModesWindow::kSentenceStarts[sentence] - ModesWindow::kSentenceStarts[sentence - 1];
            EXPECT_NEAR(since, millisecondsOf(heard - w.player().outputLeadSeconds()), kToleranceMs);
        }
    }
}

TEST(ModesInRealWindow, PressOnASentenceIconPlaysExactlyThatSentence)
{
    ModesWindow w;
    MainForm& f = w.load();
    w.player().events.clear();
    w.pressOnPage("imgs1");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return w.player().events.size() >= 2; }, 10000));
    EXPECT_EQ(f.session().currentSentence(), 1);
    const auto& events = w.player().events;
    ASSERT_EQ(events.size(), 2u);
    EXPECT_TRUE(events[0].isPlay);
    EXPECT_DOUBLE_EQ(events[0].rangeStart, 2.0);
    EXPECT_DOUBLE_EQ(events[0].rangeEnd, 4.3);
    EXPECT_FALSE(events[1].isPlay);
    EXPECT_GE(events[1].atMs - events[0].atMs, 2300 - kToleranceMs);
    EXPECT_LT(events[1].atMs - events[0].atMs, 2300 + kStartDelayLimitMs);
    EXPECT_NEAR(w.player().currentPosition(), 4.3, 0.001);

    // A press on the English text selects without playing.
    w.pressOnPage("engs2");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return f.session().currentSentence() == 2; }, 10000));
    ModesWindow::waitFor([] { return false; }, 200);
    EXPECT_EQ(w.player().events.size(), 2u);
}

TEST(ModesInRealWindow, DictationTypedOnTheKeyboardIsCheckedByCharacter)
{
    ModesWindow w;
    MainForm& f = w.load();
    ui(f).lsLesson->setCurrentRow(1);
    ASSERT_EQ(f.session().sentenceCount(), 2);
    f.Toolbar1_ButtonClick("btSpell");
    QTest::keyClicks(ui(f).teSpell, "Tom is here.");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).teSpell->text(), "");

    // The page holds the text as markup; the learner types what it shows.
    typeInto(ui(f).teSpell, "汤姆 & Anna are hare.");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).teSpell->selectionStart(), 15);
    EXPECT_EQ(ui(f).teSpell->selectedText(), "a");
    EXPECT_TRUE(w.boxes().shown.isEmpty());

    ui(f).teSpell->clear();
    typeInto(ui(f).teSpell, "汤姆 & Anna are here.");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
    EXPECT_EQ(w.boxes().shown, QStringList("逆向听写完成!"));
    f.Toolbar1_ButtonClick("btSpell");
    EXPECT_EQ(f.session().currentSentence(), 0);
}

TEST(ModesInRealWindow, RecordedTakeAndStandardAlternateInTheLoop)
{
    enum { LoopStandard = 3, LoopUser = 4, Idle = 0 };
    ModesWindow w;
    MainForm& f = w.load();
    f.Toolbar1_ButtonClick("btCompare");
    ui(f).btRecord->click();
    ModesWindow::waitFor([] { return false; }, 1000);
    ui(f).btCompareStop->click();
    ASSERT_EQ(f.modes().comparison().compareStatus(), LoopUser);
    EXPECT_GT(QFile(w.folder() + "/yourvoice.wav").size(), 44 + 16000);

    std::vector<int> turns = {f.modes().comparison().compareStatus()};
    ModesWindow::waitFor(
        [&] {
            if (f.modes().comparison().compareStatus() != turns.back())
                turns.push_back(f.modes().comparison().compareStatus());
            return turns.size() >= 5;
        },
        20000);
    EXPECT_EQ(turns, std::vector<int>({LoopUser, LoopStandard, LoopUser, LoopStandard, LoopUser}));
    ui(f).btCompareStop->click();
    EXPECT_EQ(f.modes().comparison().compareStatus(), Idle);
    EXPECT_EQ(ui(f).lbCompareStatus->text(), "静止状态");
    f.Toolbar1_ButtonClick("btCompare");
}

// The first sentence of the test recording played into the microphone: a
// known file read at its own pace by a test source, recorded as a take.
TEST(ModesInRealWindow, ATakeOfTheSentenceItselfIsScoredHigh)
{
    QTemporaryDir sounds;
    const QString known = sounds.filePath("known.wav");
    const DecodedAudio sentence = decodeAudio(LEXBAY_TEST_RECORDING, ModesWindow::kSentenceStarts[0],
                                              ModesWindow::kSentenceStarts[1]);
    ASSERT_TRUE(sentence.ok()) << sentence.error.toStdString();
    std::vector<float> played(kAnalysisRate * 3 / 10, 0.0f);
    played.insert(played.end(), sentence.samples.begin(), sentence.samples.end());
    played.resize(played.size() + kAnalysisRate * 5, 0.0f);
    writeMonoWav(known, played, kAnalysisRate);
    ModesWindow w({}, kTestSink,
                  QString("filesrc location=\"%1\" ! wavparse ! audioconvert ! identity sync=true").arg(known));
    MainForm& f = w.load();
    f.Toolbar1_ButtonClick("btCompare");
    ui(f).btRecord->click();
    // The lead-in, the sentence and a little of the silence after it.
    ModesWindow::waitFor([] { return false; }, 2700);
    ui(f).btCompareStop->click();

    QLabel* similarity = f.findChild<QLabel*>("lbSimilarity");
    QLabel* intonation = f.findChild<QLabel*>("lbIntonation");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return !similarity->text().isEmpty(); }, 20000));
    ASSERT_TRUE(similarity->text().startsWith("相似度：")) << similarity->text().toStdString();
    ASSERT_TRUE(intonation->text().startsWith("语调：")) << intonation->text().toStdString();
    EXPECT_GE(similarity->text().mid(4).toInt(), 85);
    EXPECT_GE(intonation->text().mid(3).toInt(), 85);
    auto* view = f.findChild<ComparisonView*>("wvCompare");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return view->reading(ComparisonView::RecordingRow) != nullptr; }, 5000));
    ASSERT_NE(view->reading(ComparisonView::TakeRow), nullptr);
    // The loop plays the take first; the view's mark follows the wave player.
    EXPECT_TRUE(ModesWindow::waitFor(
        [&] { return view->playingRow() == ComparisonView::TakeRow && view->playPosition() > 0.5; }, 3000));
    // For the guide: the panel with both rows and the scores.
    QDir().mkpath(LEXBAY_ARTIFACTS);
    f.grab().save(QString(LEXBAY_ARTIFACTS) + "/comparison-scores.png");
    ui(f).btCompareStop->click();
}

TEST(ModesInRealWindow, LeavingTheComparisonWhileRecordingReleasesTheMicrophone)
{
    ModesWindow w;
    MainForm& f = w.load();
    f.Toolbar1_ButtonClick("btCompare");
    ui(f).btRecord->click();
    ASSERT_EQ(w.recorder().state(), GstWaveDevice::State::Recording);
    ModesWindow::waitFor([] { return false; }, 300);
    f.Toolbar1_ButtonClick("btCompare");
    EXPECT_EQ(w.recorder().state(), GstWaveDevice::State::Closed);
    EXPECT_EQ(f.session().status(), StatusLesson);
}

// Without its recording a lesson's sentences pass in silence, each taking its
// time, so browsing keeps its rhythm; the problem is named once.
TEST(ModesInRealWindow, UnplayableRecordingIsReportedOnceAndBrowsingKeepsItsRhythm)
{
    ModesWindow w([](const QString& folder) { QFile::remove(folder + "/books/Trellis英语第1册/tlx1001.mp3"); });
    MainForm& f = w.load();
    ModesWindow::waitFor([&] { return !ui(f).pnNotice->text().isEmpty(); }, 2000);
    const QString notice = ui(f).pnNotice->text();
    EXPECT_TRUE(notice.contains("tlx1001.mp3")) << notice.toStdString();
    ui(f).cbRepeatTimes->setCurrentIndex(0);
    ui(f).cbBrowseGap->setCurrentIndex(0);
    w.player().events.clear();
    f.Toolbar1_ButtonClick("btBrowse");
    ASSERT_TRUE(ModesWindow::waitFor([&] { return !w.boxes().shown.isEmpty(); }, 20000));
    EXPECT_EQ(w.boxes().shown, QStringList("自动浏览结束，需要再来一遍吗"));
    EXPECT_EQ(ui(f).pnNotice->text(), notice);

    // The last sentence ends at the recording's length, 0 without it: at once.
    const auto& events = w.player().events;
    ASSERT_EQ(events.size(), 6u);
    const qint64 expected[] = {2000, 2300, 0};
    for (int sentence = 0; sentence < 3; ++sentence) {
        const qint64 lasted = events[2 * sentence + 1].atMs - events[2 * sentence].atMs;
        EXPECT_GE(lasted, expected[sentence] - kToleranceMs) << sentence;
        EXPECT_LT(lasted, expected[sentence] + kStartDelayLimitMs) << sentence;
    }
}

}  // namespace
