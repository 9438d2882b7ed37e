// The lesson player and the wave devices on the devices the program chooses,
// as the window has them, with a sound server, with no sound device at all,
// and with devices that fail: whatever audio plugins are installed, ranges
// end, a take is made and played, and each missing device is reported once.

#include "AudioFixtures.h"
#include "OwnSoundServer.h"
#include "WavFiles.h"
#include "platform/audio/GstMediaPlayer.h"
#include "platform/audio/GstWaveDevice.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

constexpr int kEventWaitMs = 5000;

using Direction = GstSoundDeviceChoice::Direction;

struct SoundSetup {
    const char* name;
    bool soundServer;
    // Empty: the program's own devices.
    std::vector<QString> outputs;
    std::vector<QString> inputs;
};

void PrintTo(const SoundSetup& value, std::ostream* out)
{
    *out << value.name;
}

std::shared_ptr<GstSoundDeviceChoice> choiceOf(Direction direction, const std::vector<QString>& devices)
{
    return devices.empty() ? std::make_shared<GstSoundDeviceChoice>(direction)
                           : std::make_shared<GstSoundDeviceChoice>(direction, devices);
}

// How many notices a device gave, each of which must be the one for a
// missing device.
int missingDeviceNotices(const QSignalSpy& problems)
{
    for (const QList<QVariant>& problem : problems)
        EXPECT_TRUE(problem.at(0).toString().startsWith(QStringLiteral("没有可用的")))
            << problem.at(0).toString().toStdString();
    return int(problems.count());
}

class ProgramDevicesTest : public ::testing::TestWithParam<SoundSetup> {};

TEST_P(ProgramDevicesTest, RangesEndTakesAreMadeAndEachMissingDeviceIsReportedOnce)
{
    std::unique_ptr<OwnSoundServer> server;
    if (GetParam().soundServer) {
        server = std::make_unique<OwnSoundServer>();
        ASSERT_TRUE(server->running()) << "pulseaudio did not start (scripts/install-deps installs it)";
    } else {
        if (machineHasSoundCard() && GetParam().outputs.empty())
            GTEST_SKIP() << "this machine has a sound card";
        hideSoundServer();
    }
    const int notices = GetParam().soundServer ? 0 : 1;
    // Shared by the devices, as in the window.
    auto output = choiceOf(Direction::Output, GetParam().outputs);
    auto input = choiceOf(Direction::Input, GetParam().inputs);

    GstMediaPlayer lessonPlayer(output);
    QSignalSpy ends(&lessonPlayer, &MediaPlayer::endOfStream);
    QSignalSpy lessonProblems(&lessonPlayer, &MediaPlayer::audioProblem);
    lessonPlayer.setFileName(audioFixture("three-sentences.mp3"));
    for (int round = 1; round <= 2; ++round) {
        lessonPlayer.setSelectionStart(1.0);
        lessonPlayer.setSelectionEnd(1.3);
        lessonPlayer.setCurrentPosition(1.0);
        lessonPlayer.play();
        ASSERT_TRUE(ends.wait(kEventWaitMs)) << "round " << round;
    }

    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("yourvoice.wav"));
    writeFile(path, readFile(blankTemplateWav()));
    GstWaveDevice recorder(output, input);
    QSignalSpy recorderProblems(&recorder, &WaveDevice::audioProblem);
    recorder.setFileName(path);
    recorder.command(QStringLiteral("Open"));
    recorder.command(QStringLiteral("Record"));
    QTest::qWait(500);
    recorder.command(QStringLiteral("Save"));
    recorder.command(QStringLiteral("Close"));
    const WavLayout take = readWavLayout(path);
    EXPECT_EQ(take.riffSize, take.fileSize - 8);
    EXPECT_GT(take.dataSize, 0u);

    GstWaveDevice wavePlayer(output, input);
    QSignalSpy done(&wavePlayer, &WaveDevice::done);
    QSignalSpy wavePlayerProblems(&wavePlayer, &WaveDevice::audioProblem);
    wavePlayer.setFileName(path);
    for (int round = 1; round <= 2; ++round) {
        wavePlayer.command(QStringLiteral("Open"));
        wavePlayer.command(QStringLiteral("Play"));
        ASSERT_TRUE(done.wait(kEventWaitMs)) << "round " << round;
        EXPECT_EQ(done.last().at(0).toInt(), WaveDevice::DoneSuccessful);
    }
    QTest::qWait(100);
    EXPECT_EQ(ends.count(), 2);
    EXPECT_EQ(missingDeviceNotices(lessonProblems), notices);
    EXPECT_EQ(missingDeviceNotices(recorderProblems), notices);
    EXPECT_EQ(missingDeviceNotices(wavePlayerProblems), notices);
}

INSTANTIATE_TEST_SUITE_P(Sound, ProgramDevicesTest,
    ::testing::Values(SoundSetup{"WithASoundServer", true, {}, {}},
        SoundSetup{"WithoutASoundDevice", false, {}, {}},
        // Devices that open but fail on their first buffer, and devices that
        // pass that buffer and fail a few later.
        SoundSetup{"WithDevicesFailingOnTheirFirstBuffer", false,
            {QStringLiteral("identity error-after=1 ! fakesink sync=true")},
            {QStringLiteral("audiotestsrc is-live=true ! identity error-after=1")}},
        SoundSetup{"WithDevicesFailingAfterTheyWereChosen", false,
            {QStringLiteral("identity error-after=5 ! fakesink sync=true")},
            {QStringLiteral("audiotestsrc is-live=true ! identity error-after=5")}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
