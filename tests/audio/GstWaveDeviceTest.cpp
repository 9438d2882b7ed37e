#include "AudioFixtures.h"
#include "WavFiles.h"
#include "platform/audio/GstWaveDevice.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

void PrintTo(const WavFormat& value, std::ostream* out)
{
    *out << value.channels << " channel(s), " << value.sampleRate << " Hz, " << value.bitsPerSample << " bit";
}

namespace {

constexpr int kRecordMs = 1000;
constexpr int kEventWaitMs = 5000;

class GstWaveDeviceTest : public ::testing::Test {
protected:
    QString takePath() const { return folder.filePath(QStringLiteral("yourvoice.wav")); }

    // What the window does: a fresh copy of the blank template, then record.
    void recordTake(const QByteArray& blankTemplate, int milliseconds)
    {
        writeFile(takePath(), blankTemplate);
        recorder.setFileName(takePath());
        recorder.command(QStringLiteral("Open"));
        recorder.command(QStringLiteral("Record"));
        ASSERT_EQ(recorder.state(), GstWaveDevice::State::Recording);
        QTest::qWait(milliseconds);
    }

    void openPlayer(const QString& path)
    {
        player.setFileName(path);
        player.command(QStringLiteral("Open"));
    }

    QTemporaryDir folder;
    GstWaveDevice recorder{kTestSink, kTestSource};
    GstWaveDevice player{kTestSink, kTestSource};
};

class TemplateFormatTest : public GstWaveDeviceTest, public ::testing::WithParamInterface<WavFormat> {};

TEST_P(TemplateFormatTest, SavedTakeIsAValidWaveInTheTemplatesFormat)
{
    const QByteArray blankTemplate = blankWav(GetParam());
    recordTake(blankTemplate, kRecordMs);
    recorder.command(QStringLiteral("Save"));
    recorder.command(QStringLiteral("Close"));

    const WavLayout take = readWavLayout(takePath());
    ASSERT_TRUE(take.riff);
    EXPECT_EQ(take.riffSize, take.fileSize - 8) << "header sizes were never written";
    EXPECT_EQ(take.fmtBody, blankTemplate.mid(20, 16)) << "the take's format differs from the template's";
    ASSERT_TRUE(take.hasData);
    EXPECT_LE(take.dataEnd, take.fileSize);
    const int bytesPerSecond = GetParam().sampleRate * GetParam().channels * GetParam().bitsPerSample / 8;
    const double seconds = double(take.dataSize) / bytesPerSecond;
    EXPECT_GT(seconds, 0.8);
    EXPECT_LT(seconds, 1.6);
    EXPECT_FALSE(QFile::exists(takePath() + QStringLiteral(".recording")));
}

INSTANTIATE_TEST_SUITE_P(Templates, TemplateFormatTest,
    ::testing::Values(WavFormat{1, 16000, 16}, WavFormat{2, 22050, 8}, WavFormat{2, 44100, 16}),
    [](const auto& info) {
        return std::to_string(info.param.channels) + "ch" + std::to_string(info.param.sampleRate) + "Hz"
            + std::to_string(info.param.bitsPerSample) + "bit";
    });

TEST_F(GstWaveDeviceTest, ShippedTemplateFixesTheFormat)
{
    recordTake(readFile(blankTemplateWav()), 300);
    EXPECT_EQ(recorder.recordingFormat(), (WavFormat{1, 16000, 16}));
    recorder.command(QStringLiteral("Save"));
    EXPECT_EQ(readWavFormat(takePath()), readWavFormat(blankTemplateWav()));
}

TEST_F(GstWaveDeviceTest, NoUsableTemplateRecordsSixteenBitMonoAt16kHz)
{
    recordTake(QByteArray("not a wave"), 300);
    recorder.command(QStringLiteral("Save"));
    EXPECT_EQ(readWavFormat(takePath()), WavFormat::fallback());
}

TEST_F(GstWaveDeviceTest, TakePlaysToItsEndWithDoneOne)
{
    recordTake(readFile(blankTemplateWav()), kRecordMs);
    recorder.command(QStringLiteral("Save"));
    recorder.command(QStringLiteral("Close"));

    QSignalSpy done(&player, &WaveDevice::done);
    openPlayer(takePath());
    player.command(QStringLiteral("Play"));
    EXPECT_EQ(done.count(), 0) << "Done came inside the command";
    ASSERT_TRUE(done.wait(kEventWaitMs));
    EXPECT_EQ(done.at(0).at(0).toInt(), WaveDevice::DoneSuccessful);
    player.command(QStringLiteral("Close"));
    QTest::qWait(300);
    EXPECT_EQ(done.count(), 1);
}

TEST_F(GstWaveDeviceTest, TakeWithoutSamplesEndsAtOnceWithDoneOne)
{
    writeFile(takePath(), readFile(blankTemplateWav()));
    QSignalSpy done(&player, &WaveDevice::done);
    openPlayer(takePath());
    player.command(QStringLiteral("Play"));
    EXPECT_EQ(done.count(), 0);
    ASSERT_TRUE(done.wait(kEventWaitMs));
    EXPECT_EQ(done.at(0).at(0).toInt(), WaveDevice::DoneSuccessful);
}

TEST_F(GstWaveDeviceTest, StopDuringPlayGivesAnotherCodeAndNoLaterEnd)
{
    recordTake(readFile(blankTemplateWav()), kRecordMs);
    recorder.command(QStringLiteral("Save"));

    QSignalSpy done(&player, &WaveDevice::done);
    openPlayer(takePath());
    player.command(QStringLiteral("Play"));
    QTest::qWait(200);
    player.command(QStringLiteral("Stop"));
    player.command(QStringLiteral("Close"));
    EXPECT_EQ(done.count(), 0) << "Done came inside the command";
    QTest::qWait(kRecordMs + 500);
    ASSERT_EQ(done.count(), 1);
    EXPECT_EQ(done.at(0).at(0).toInt(), WaveDevice::DoneAborted);
}

TEST_F(GstWaveDeviceTest, PlayWhilePlayingSupersedesTheFirst)
{
    recordTake(readFile(blankTemplateWav()), 500);
    recorder.command(QStringLiteral("Save"));

    QSignalSpy done(&player, &WaveDevice::done);
    openPlayer(takePath());
    player.command(QStringLiteral("Play"));
    QTest::qWait(100);
    player.command(QStringLiteral("Play"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return done.count() == 2; }, kEventWaitMs));
    EXPECT_EQ(done.at(0).at(0).toInt(), WaveDevice::DoneSuperseded);
    EXPECT_EQ(done.at(1).at(0).toInt(), WaveDevice::DoneSuccessful);
}

TEST_F(GstWaveDeviceTest, StopWhileRecordingKeepsTheTakeForSave)
{
    recordTake(readFile(blankTemplateWav()), 300);
    recorder.command(QStringLiteral("Stop"));
    EXPECT_EQ(recorder.state(), GstWaveDevice::State::Recorded);
    recorder.command(QStringLiteral("Save"));
    const WavLayout take = readWavLayout(takePath());
    EXPECT_EQ(take.riffSize, take.fileSize - 8);
    EXPECT_GT(take.dataSize, 0u);
}

TEST_F(GstWaveDeviceTest, CloseWhileRecordingDiscardsTheTake)
{
    const QByteArray blankTemplate = readFile(blankTemplateWav());
    recordTake(blankTemplate, 300);
    recorder.command(QStringLiteral("Close"));
    EXPECT_EQ(recorder.state(), GstWaveDevice::State::Closed);
    EXPECT_EQ(readFile(takePath()), blankTemplate);
    EXPECT_FALSE(QFile::exists(takePath() + QStringLiteral(".recording")));
    recorder.command(QStringLiteral("Save"));
    EXPECT_EQ(readFile(takePath()), blankTemplate);
}

struct UnplayableCase {
    const char* name;
    QByteArray content;  // empty: no file
};

void PrintTo(const UnplayableCase& value, std::ostream* out)
{
    *out << value.name;
}

class UnplayableTest : public GstWaveDeviceTest, public ::testing::WithParamInterface<UnplayableCase> {};

TEST_P(UnplayableTest, PlayFailsWithDoneFailureLater)
{
    const QString path = folder.filePath(QStringLiteral("take.wav"));
    if (!GetParam().content.isEmpty())
        writeFile(path, GetParam().content);
    QSignalSpy done(&player, &WaveDevice::done);
    QSignalSpy problems(&player, &WaveDevice::audioProblem);
    openPlayer(path);
    player.command(QStringLiteral("Play"));
    EXPECT_EQ(done.count(), 0);
    ASSERT_TRUE(done.wait(kEventWaitMs));
    EXPECT_EQ(done.at(0).at(0).toInt(), WaveDevice::DoneFailure);
    ASSERT_GE(problems.count(), 1);
    EXPECT_TRUE(problems.at(0).at(0).toString().contains(path));
    QTest::qWait(300);
    EXPECT_EQ(done.count(), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, UnplayableTest,
    ::testing::Values(UnplayableCase{"Missing", {}}, UnplayableCase{"NotAWave", QByteArray(4096, 'x')}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GstWaveDeviceTest, WordsThatDoNotFitAreIgnored)
{
    QSignalSpy done(&player, &WaveDevice::done);
    struct Step {
        const char* word;
        GstWaveDevice::State after;
    };
    const Step steps[] = {
        {"Play", GstWaveDevice::State::Closed},
        {"Save", GstWaveDevice::State::Closed},
        {"Stop", GstWaveDevice::State::Closed},
        {"Rewind", GstWaveDevice::State::Closed},
        {"", GstWaveDevice::State::Closed},
        {"Open", GstWaveDevice::State::Open},
        {"Save", GstWaveDevice::State::Open},
        {"Stop", GstWaveDevice::State::Open},
        {"Eject", GstWaveDevice::State::Open},
        {"Close", GstWaveDevice::State::Closed},
        {"Close", GstWaveDevice::State::Closed},
    };
    player.setFileName(folder.filePath(QStringLiteral("none.wav")));
    for (const Step& step : steps) {
        player.command(QLatin1String(step.word));
        EXPECT_EQ(player.state(), step.after) << "after " << step.word;
    }
    QTest::qWait(200);
    EXPECT_EQ(done.count(), 0);
}

TEST_F(GstWaveDeviceTest, RecordWhilePlayingIsIgnored)
{
    recordTake(readFile(blankTemplateWav()), 500);
    recorder.command(QStringLiteral("Save"));
    const QByteArray saved = readFile(takePath());
    openPlayer(takePath());
    player.command(QStringLiteral("Play"));
    player.command(QStringLiteral("Record"));
    player.command(QStringLiteral("Save"));
    EXPECT_EQ(player.state(), GstWaveDevice::State::Playing);
    player.command(QStringLiteral("Close"));
    EXPECT_EQ(readFile(takePath()), saved);
}

}  // namespace
