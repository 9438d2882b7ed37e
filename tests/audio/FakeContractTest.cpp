#include "AudioFixtures.h"
#include "FakeMediaPlayer.h"
#include "FakeWaveDevice.h"
#include "WavFiles.h"
#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

// The window's unit tests run on the fakes; these cases hold the fakes and the
// real objects to the same promises, so a window that passes on the fakes
// also works on the real ones.
namespace {

constexpr int kSettleMs = 300;

struct PlayerKind {
    const char* name;
    std::function<std::unique_ptr<MediaPlayer>()> make;
};

void PrintTo(const PlayerKind& value, std::ostream* out)
{
    *out << value.name;
}

class PlayerContract : public ::testing::TestWithParam<PlayerKind> {
protected:
    void SetUp() override
    {
        player = GetParam().make();
        player->setFileName(audioFixture("three-sentences.mp3"));
    }

    std::unique_ptr<MediaPlayer> player;
};

TEST_P(PlayerContract, RangeWithoutLengthEndsOnceAndLater)
{
    QSignalSpy ends(player.get(), &MediaPlayer::endOfStream);
    const double ranges[][2] = {{2.0, 2.0}, {2.0, 0.0}};
    for (const auto& range : ranges) {
        const qsizetype before = ends.count();
        player->setSelectionStart(range[0]);
        player->setSelectionEnd(range[1]);
        player->setCurrentPosition(range[0]);
        player->play();
        EXPECT_EQ(ends.count(), before) << "raised inside play()";
        QTest::qWait(kSettleMs);
        EXPECT_EQ(ends.count(), before + 1);
    }
}

TEST_P(PlayerContract, StopRightAfterPlayCancelsTheEnd)
{
    QSignalSpy ends(player.get(), &MediaPlayer::endOfStream);
    player->setSelectionStart(2.0);
    player->setSelectionEnd(1.0);
    player->play();
    player->stop();
    QTest::qWait(kSettleMs);
    EXPECT_EQ(ends.count(), 0);
}

TEST_P(PlayerContract, RangeReadsBackAsSet)
{
    player->setSelectionStart(1.23);
    player->setSelectionEnd(4.56);
    EXPECT_DOUBLE_EQ(player->selectionStart(), 1.23);
    EXPECT_DOUBLE_EQ(player->selectionEnd(), 4.56);
}

INSTANTIATE_TEST_SUITE_P(Players, PlayerContract,
    ::testing::Values(PlayerKind{"Fake", [] { return std::make_unique<FakeMediaPlayer>(); }},
        PlayerKind{"GStreamer", [] { return std::make_unique<GstMediaPlayer>(kTestSink); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeMediaPlayer, EndsARangeOnlyWhilePlaying)
{
    FakeMediaPlayer player;
    QSignalSpy ends(&player, &MediaPlayer::endOfStream);
    player.setSelectionStart(1.2);
    player.setSelectionEnd(3.4);
    player.setCurrentPosition(1.2);
    player.play();
    EXPECT_TRUE(player.finishRange());
    EXPECT_FALSE(player.finishRange());
    player.play();
    player.stop();
    EXPECT_FALSE(player.finishRange());
    EXPECT_EQ(ends.count(), 1);
    EXPECT_EQ(player.log,
        (QStringList{"start 1.20", "end 3.40", "position 1.20", "play", "play", "stop"}));
}

struct DeviceKind {
    const char* name;
    std::function<std::unique_ptr<WaveDevice>()> make;
};

void PrintTo(const DeviceKind& value, std::ostream* out)
{
    *out << value.name;
}

class DeviceContract : public ::testing::TestWithParam<DeviceKind> {
protected:
    void SetUp() override
    {
        // Two seconds of silence: long enough to still be playing when stopped.
        WavFormat format;
        QByteArray take = blankWav(format);
        const int dataBytes = 2 * format.sampleRate * format.bitsPerSample / 8;
        take.append(QByteArray(dataBytes, '\0'));
        qToLittleEndian<quint32>(take.size() - 8, take.data() + 4);
        qToLittleEndian<quint32>(dataBytes, take.data() + 40);
        path = folder.filePath(QStringLiteral("yourvoice.wav"));
        writeFile(path, take);
        device = GetParam().make();
        device->setFileName(path);
        device->command(QStringLiteral("Open"));
    }

    QTemporaryDir folder;
    QString path;
    std::unique_ptr<WaveDevice> device;
};

struct Interruption {
    const char* word;
    int expectedCode;
};

TEST_P(DeviceContract, InterruptedPlaybackGivesOneLaterDoneWithItsCode)
{
    const Interruption interruptions[] = {
        {"Stop", WaveDevice::DoneAborted},
        {"Close", WaveDevice::DoneAborted},
        {"Play", WaveDevice::DoneSuperseded},
    };
    for (const Interruption& interruption : interruptions) {
        device->command(QStringLiteral("Open"));
        QSignalSpy done(device.get(), &WaveDevice::done);
        device->command(QStringLiteral("Play"));
        QTest::qWait(50);
        device->command(QLatin1String(interruption.word));
        EXPECT_EQ(done.count(), 0) << interruption.word << ": Done came inside the command";
        if (QLatin1String(interruption.word) == QLatin1String("Play"))
            device->command(QStringLiteral("Stop"));
        QTest::qWait(kSettleMs);
        ASSERT_GE(done.count(), 1) << interruption.word;
        EXPECT_EQ(done.at(0).at(0).toInt(), interruption.expectedCode) << interruption.word;
    }
}

TEST_P(DeviceContract, StopWithNothingPlayingSendsNoDone)
{
    QSignalSpy done(device.get(), &WaveDevice::done);
    device->command(QStringLiteral("Stop"));
    device->command(QStringLiteral("Close"));
    QTest::qWait(kSettleMs);
    EXPECT_EQ(done.count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Devices, DeviceContract,
    ::testing::Values(DeviceKind{"Fake", [] { return std::make_unique<FakeWaveDevice>(); }},
        DeviceKind{"GStreamer", [] { return std::make_unique<GstWaveDevice>(kTestSink, kTestSource); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FakeWaveDevice, LogsCommandsWithTheFileAndTracksState)
{
    FakeWaveDevice recorder;
    recorder.setFileName(QStringLiteral("yourvoice.wav"));
    recorder.command(QStringLiteral("Open"));
    recorder.command(QStringLiteral("Record"));
    EXPECT_TRUE(recorder.isRecording());
    EXPECT_FALSE(recorder.sendDone(WaveDevice::DoneSuccessful)) << "a recorder has no playback to end";
    recorder.command(QStringLiteral("Save"));
    recorder.command(QStringLiteral("Close"));
    EXPECT_FALSE(recorder.isOpen());
    EXPECT_EQ(recorder.log,
        (QStringList{"Open yourvoice.wav", "Record yourvoice.wav", "Save yourvoice.wav", "Close yourvoice.wav"}));
}

}  // namespace
