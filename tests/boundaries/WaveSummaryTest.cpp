// A recording made by sox summarised for drawing: its peaks and loudness
// where it sounds and where it is silent, the summary kept in the cache and
// read back, made again when the recording changes, and a recording that
// does not decode.

#include "boundaries/WaveSummary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace {

// 0.5 s of a tone at half scale, 0.5 s of silence, 0.5 s of the tone at a
// tenth of it.
bool makeRecording(const QString& path, double quietVolume = 0.05)
{
    const QString loud = path + ".loud.wav", silent = path + ".silent.wav", quiet = path + ".quiet.wav";
    const QList<QStringList> steps = {
        {"-n", "-r", "16000", "-c", "1", loud, "synth", "0.5", "sine", "440", "vol", "0.5"},
        {"-n", "-r", "16000", "-c", "1", silent, "trim", "0", "0.5"},
        {"-n", "-r", "16000", "-c", "1", quiet, "synth", "0.5", "sine", "440", "vol", QString::number(quietVolume)},
        {loud, silent, quiet, path},
    };
    for (const QStringList& arguments : steps) {
        if (QProcess::execute("sox", arguments) != 0)
            return false;
    }
    return true;
}

TEST(WaveSummary, PeaksAndLoudnessWhereTheRecordingSoundsKeptInTheCache)
{
    QTemporaryDir dir;
    const QString recording = dir.filePath("lesson.wav");
    const QString cache = dir.filePath("cache");
    ASSERT_TRUE(makeRecording(recording));

    const WaveSummary summary = cachedWaveSummary(recording, cache);
    ASSERT_TRUE(summary.ok()) << summary.error.toStdString();
    EXPECT_NEAR(summary.seconds(), 1.5, 0.01);
    const auto [loudLow, loudHigh] = summary.peaks(summary.frameAt(0.1), summary.frameAt(0.4));
    EXPECT_NEAR(loudHigh / 32767.0, 0.5, 0.02);
    EXPECT_NEAR(loudLow / 32767.0, -0.5, 0.02);
    EXPECT_NEAR(summary.rms[size_t(summary.frameAt(0.25))] / 32767.0, 0.5 / std::sqrt(2.0), 0.02);
    EXPECT_EQ(summary.peaks(summary.frameAt(0.6), summary.frameAt(0.9)), std::make_pair(int16_t(0), int16_t(0)));
    EXPECT_NEAR(summary.peaks(summary.frameAt(1.1), summary.frameAt(1.4)).second / 32767.0, 0.05, 0.005);
    EXPECT_EQ(summary.peaks(summary.frames(), summary.frames() + 10), std::make_pair(int16_t(0), int16_t(0)));
    ASSERT_EQ(QDir(cache).entryList(QDir::Files).size(), 1);

    // Read back from the cache as it was made; a recording changed since is
    // summarised again.
    const WaveSummary cached = cachedWaveSummary(recording, cache);
    EXPECT_EQ(cached.rms, summary.rms);
    EXPECT_EQ(cached.low, summary.low);
    QThread::msleep(20);
    ASSERT_TRUE(QFile::remove(recording));
    ASSERT_TRUE(makeRecording(recording, 0.2));
    const WaveSummary remade = cachedWaveSummary(recording, cache);
    EXPECT_NEAR(remade.peaks(remade.frameAt(1.1), remade.frameAt(1.4)).second / 32767.0, 0.2, 0.01);

    // A damaged cache file is made again, not believed.
    const QString kept = QDir(cache).filePath(QDir(cache).entryList(QDir::Files).first());
    QFile damaged(kept);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly | QIODevice::Truncate));
    damaged.write("LXWAVE1 and then nothing that fits");
    damaged.close();
    EXPECT_EQ(cachedWaveSummary(recording, cache).rms, remade.rms);
}

TEST(WaveSummary, ARecordingThatDoesNotDecodeSaysSo)
{
    QTemporaryDir dir;
    const QString notSound = dir.filePath("lesson.mp3");
    QFile file(notSound);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("these are words, not sound\n");
    file.close();
    for (const QString& recording : {notSound, dir.filePath("missing.mp3")}) {
        const WaveSummary summary = cachedWaveSummary(recording, dir.filePath("cache"));
        EXPECT_FALSE(summary.ok()) << recording.toStdString();
        EXPECT_TRUE(summary.error.contains(QFileInfo(recording).fileName())) << summary.error.toStdString();
        EXPECT_EQ(summary.frames(), 0);
    }
    EXPECT_FALSE(QDir(dir.filePath("cache")).exists()) << "nothing kept for what did not decode";
}

}  // namespace
