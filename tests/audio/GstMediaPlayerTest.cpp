#include "AudioFixtures.h"
#include "platform/audio/GstMediaPlayer.h"

#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

namespace {

constexpr double kMillisecond = 0.001;
constexpr int kEventWaitMs = 5000;
// Long enough for any stray end-of-stream of a range of a second or less.
constexpr int kQuietMs = 1200;

struct Range {
    double start;
    double end;
};

class GstMediaPlayerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        player.setFileName(audioFixture("three-sentences.mp3"));
        ASSERT_EQ(player.lastError(), QString());
    }

    void setRange(Range range)
    {
        player.setSelectionStart(range.start);
        player.setSelectionEnd(range.end);
        player.setCurrentPosition(range.start);
    }

    // Plays the range and returns the wall-clock seconds until its end-of-stream.
    double playToEnd(QSignalSpy& ends)
    {
        QElapsedTimer clock;
        clock.start();
        const qsizetype before = ends.count();
        player.play();
        EXPECT_TRUE(ends.wait(kEventWaitMs));
        EXPECT_EQ(ends.count(), before + 1);
        return clock.nsecsElapsed() / 1e9;
    }

    GstMediaPlayer player{kTestSink};
};

struct DurationCase {
    const char* file;
    double seconds;
    // Opened ahead, with work of the caller's between.
    bool openedAhead = false;
};

// Opens the file as the window does when `ahead`: started, a page loaded
// meanwhile, then finished.
void openFile(GstMediaPlayer& player, const QString& path, bool ahead)
{
    if (ahead) {
        player.prepareFile(path, false);
        QTest::qWait(100);
    }
    player.setFileName(path);
}

void PrintTo(const DurationCase& value, std::ostream* out)
{
    *out << value.file << (value.openedAhead ? " opened ahead" : "");
}

class DurationTest : public ::testing::TestWithParam<DurationCase> {};

TEST_P(DurationTest, IsReadableRightAfterOpening)
{
    GstMediaPlayer player(kTestSink);
    openFile(player, audioFixture(GetParam().file), GetParam().openedAhead);
    EXPECT_EQ(player.lastError(), QString());
    EXPECT_NEAR(player.duration(), GetParam().seconds, kMillisecond);
}

INSTANTIATE_TEST_SUITE_P(Mp3Files, DurationTest,
    ::testing::Values(DurationCase{"three-sentences.mp3", 250 * 1152 / 44100.0},
        // Without a LAME/Xing header only a scan of the frames tells the length.
        DurationCase{"no-xing-header.mp3", 59 * 1152 / 44100.0},
        DurationCase{"three-sentences.mp3", 250 * 1152 / 44100.0, true},
        DurationCase{"no-xing-header.mp3", 59 * 1152 / 44100.0, true}),
    [](const auto& info) {
        return std::string(info.param.file[0] == 't' ? "WithXingHeader" : "WithoutXingHeader") +
               (info.param.openedAhead ? "OpenedAhead" : "");
    });

TEST_F(GstMediaPlayerTest, RangeEndsOnceExactlyAtItsEnd)
{
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    const Range range{0.4, 1.2};
    setRange(range);
    const double elapsed = playToEnd(ends);
    EXPECT_NEAR(player.currentPosition(), range.end, kMillisecond);
    EXPECT_GT(elapsed, (range.end - range.start) * 0.9) << "the range was not played in real time";
    QTest::qWait(kQuietMs);
    EXPECT_EQ(ends.count(), 1);
    EXPECT_DOUBLE_EQ(player.selectionStart(), range.start);
    EXPECT_DOUBLE_EQ(player.selectionEnd(), range.end);
}

TEST_F(GstMediaPlayerTest, PlayAfterEndOfStreamPlaysTheWholeRangeAgain)
{
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    const Range range{2.4, 3.0};
    setRange(range);
    playToEnd(ends);
    const double again = playToEnd(ends);
    EXPECT_GT(again, (range.end - range.start) * 0.9) << "the repeat did not start at the range start";
    EXPECT_NEAR(player.currentPosition(), range.end, kMillisecond);
    const double third = playToEnd(ends);
    EXPECT_GT(third, (range.end - range.start) * 0.9);
}

TEST_F(GstMediaPlayerTest, RangeToOrPastTheEndStopsAtTheEndOfTheRecording)
{
    // The last sentence ends at the duration; a timing file may also name a
    // later end than the recording has.
    for (const double end : {player.duration(), player.duration() + 2.0}) {
        QSignalSpy ends(&player, &MediaPlayer::endOfStream);
        setRange({6.0, end});
        playToEnd(ends);
        EXPECT_NEAR(player.currentPosition(), player.duration(), kMillisecond);
        playToEnd(ends);
        QTest::qWait(kQuietMs);
        EXPECT_EQ(ends.count(), 2) << "range end " << end;
    }
}

TEST_F(GstMediaPlayerTest, StopEndsPlaybackWithoutEndOfStream)
{
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    const Range range{0.4, 1.0};
    setRange(range);
    player.play();
    QTest::qWait(200);
    player.stop();
    const double stoppedAt = player.currentPosition();
    EXPECT_GT(stoppedAt, range.start);
    EXPECT_LT(stoppedAt, range.end);
    QTest::qWait(kQuietMs);
    EXPECT_EQ(ends.count(), 0);
    EXPECT_NEAR(player.currentPosition(), stoppedAt, kMillisecond) << "playback went on after the stop";

    // Play resumes from where the stop left it and still ends at the range end.
    const double rest = playToEnd(ends);
    EXPECT_LT(rest, range.end - range.start);
    EXPECT_NEAR(player.currentPosition(), range.end, kMillisecond);
}

struct ReseekCase {
    const char* name;
    bool stopFirst;
    // Holding the GUI thread lets the first range's end-of-stream be posted
    // before the second range starts, so it reaches the handler late.
    int blockGuiThreadMs;
};

void PrintTo(const ReseekCase& value, std::ostream* out)
{
    *out << value.name;
}

class StaleEndOfStreamTest : public GstMediaPlayerTest, public ::testing::WithParamInterface<ReseekCase> {};

TEST_P(StaleEndOfStreamTest, OnlyTheLatestRangeEnds)
{
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    setRange({0.4, 0.45});
    player.play();
    QThread::msleep(GetParam().blockGuiThreadMs);
    if (GetParam().stopFirst)
        player.stop();
    const Range second{2.5, 2.9};
    setRange(second);
    player.play();
    ASSERT_TRUE(ends.wait(kEventWaitMs));
    EXPECT_NEAR(player.currentPosition(), second.end, kMillisecond);
    QTest::qWait(kQuietMs);
    EXPECT_EQ(ends.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Reseeks, StaleEndOfStreamTest,
    ::testing::Values(ReseekCase{"AtOnce", false, 0}, ReseekCase{"AfterFirstEnded", false, 150},
        ReseekCase{"StopThenAtOnce", true, 0}, ReseekCase{"StopAfterFirstEnded", true, 150}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GstMediaPlayerTest, OpeningAnotherFileSilencesThePlayingOne)
{
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    setRange({0.4, 0.45});
    player.play();
    QThread::msleep(150);
    player.setFileName(audioFixture("no-xing-header.mp3"));
    EXPECT_NEAR(player.duration(), 59 * 1152 / 44100.0, kMillisecond);
    QTest::qWait(kQuietMs);
    EXPECT_EQ(ends.count(), 0);
}

struct BadFileCase {
    const char* name;
    QByteArray content;  // empty: the file is not there at all
    bool openedAhead = false;
};

void PrintTo(const BadFileCase& value, std::ostream* out)
{
    *out << value.name;
}

class BadFileTest : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFileTest, GivesNoLengthEndsEveryRangeAndSaysWhy)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("tlx%1.mp3").arg(QLatin1String(GetParam().name)));
    if (!GetParam().content.isEmpty()) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(GetParam().content);
    }
    GstMediaPlayer player(kTestSink);
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    QSignalSpy problems(&player, &MediaPlayer::audioProblem);
    openFile(player, path, GetParam().openedAhead);
    EXPECT_EQ(player.duration(), 0.0);
    EXPECT_TRUE(player.lastError().contains(path)) << player.lastError().toStdString();
    player.setSelectionStart(0.0);
    player.setSelectionEnd(1.0);
    player.play();
    EXPECT_EQ(ends.count(), 0) << "raised inside play()";
    // Nothing plays, but a mode waiting for the end of the range goes on.
    EXPECT_TRUE(ends.wait(kEventWaitMs));
    QTest::qWait(300);
    EXPECT_EQ(ends.count(), 1);
    ASSERT_EQ(problems.count(), 1);
    EXPECT_TRUE(problems.at(0).at(0).toString().contains(path));
}

INSTANTIATE_TEST_SUITE_P(Files, BadFileTest,
    ::testing::Values(BadFileCase{"Missing", {}}, BadFileCase{"NotAudio", QByteArray("[00:01.00]not a sound\n", 22)},
        BadFileCase{"TruncatedHeader", QByteArray("\xFF\xFB\x50", 3)},
        BadFileCase{"MissingOpenedAhead", {}, true}, BadFileCase{"NotAudioOpenedAhead", QByteArray("not a sound"), true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GstMediaPlayerSink, BadSinkDescriptionIsReportedNotFatal)
{
    GstMediaPlayer player(QStringLiteral("no-such-sink-element"));
    player.setFileName(audioFixture("three-sentences.mp3"));
    EXPECT_EQ(player.duration(), 0.0);
    EXPECT_TRUE(player.lastError().contains(QStringLiteral("no-such-sink-element")));
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    player.setSelectionEnd(1.0);
    player.play();
    EXPECT_TRUE(ends.wait(kEventWaitMs));
}

}  // namespace
