// A range starts and ends at its times in the recording, from its own first
// sample; at another speed it lasts as much longer or shorter as the speed
// says and keeps its pitch.

#include "AudioFixtures.h"
#include "WavFiles.h"
#include "platform/audio/GstMediaPlayer.h"

#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtEndian>

#include <cmath>

#include <gtest/gtest.h>

namespace {

constexpr int kRate = 44100;
constexpr double kToneHz = 440;

// What the player handed its output for one range, as 16-bit mono samples,
// and where it stood when the range ended.
struct Played {
    std::vector<qint16> samples;
    double endPosition = -1;
};

struct Range {
    double start, end;
};

// The ranges played one after the other by one player, and what it handed
// its output for the last (the file sink writes each range over the one
// before).
Played play(const QString& file, const std::vector<Range>& ranges, double rate)
{
    QTemporaryDir dir;
    const QString out = dir.filePath("out.raw");
    Played played;
    {
        GstMediaPlayer player(QString("audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=%1"
                                      " ! filesink location=%2")
                                  .arg(kRate)
                                  .arg(out));
        player.setFileName(file);
        EXPECT_EQ(player.lastError(), QString());
        player.setRate(rate);
        for (const Range& range : ranges) {
            player.setSelectionStart(range.start);
            player.setSelectionEnd(range.end);
            player.setCurrentPosition(range.start);
            QSignalSpy ends(&player, &MediaPlayer::endOfStream);
            player.play();
            EXPECT_TRUE(ends.wait(10000)) << "rate " << rate;
        }
        played.endPosition = player.currentPosition();
    }
    const QByteArray bytes = readFile(out);
    played.samples.resize(bytes.size() / 2);
    for (size_t i = 0; i < played.samples.size(); ++i)
        played.samples[i] = qFromLittleEndian<qint16>(bytes.constData() + 2 * i);
    return played;
}

Played play(const QString& file, double start, double end, double rate)
{
    return play(file, {{start, end}}, rate);
}

// A steady sine tone of `seconds` as a 16-bit mono wave file.
void writeTone(const QString& path, double seconds)
{
    QByteArray bytes = blankWav({1, kRate, 16});
    QByteArray data;
    const int count = int(seconds * kRate);
    for (int i = 0; i < count; ++i) {
        const auto sample = qToLittleEndian<qint16>(qint16(12000 * std::sin(2 * M_PI * kToneHz * i / kRate)));
        data.append(reinterpret_cast<const char*>(&sample), 2);
    }
    qToLittleEndian<quint32>(quint32(36 + data.size()), bytes.data() + 4);
    qToLittleEndian<quint32>(quint32(data.size()), bytes.data() + 40);
    writeFile(path, bytes + data);
}

// The tone's frequency from its rising zero crossings, away from the edges.
double frequencyOf(const std::vector<qint16>& samples)
{
    const size_t from = samples.size() / 10, to = samples.size() - samples.size() / 10;
    size_t first = 0, last = 0, crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        if (samples[i - 1] < 0 && samples[i] >= 0) {
            if (crossings++ == 0)
                first = i;
            last = i;
        }
    }
    return crossings > 1 ? (crossings - 1) * double(kRate) / (last - first) : 0;
}

// How many of the first `count` samples of `heard` lie more than `tolerance`
// from `expected`'s from `at` on.
int samplesApart(const std::vector<qint16>& heard, const std::vector<qint16>& expected, size_t at, size_t count,
                 int tolerance)
{
    int apart = 0;
    for (size_t k = 0; k < count && k < heard.size() && at + k < expected.size(); ++k)
        apart += std::abs(heard[k] - expected[at + k]) > tolerance;
    return apart;
}

TEST(PlaybackSpeed, RangesAtOtherSpeedsLastAsTheSpeedSaysEndExactlyAndKeepThePitch)
{
    const QString lesson = audioFixture("three-sentences.mp3");
    const Played asRecorded = play(lesson, 1.0, 2.5, 1.0);
    ASSERT_GT(asRecorded.samples.size(), size_t(kRate));
    QTemporaryDir dir;
    const QString tone = dir.filePath("tone.wav");
    writeTone(tone, 3.0);
    for (const double rate : {0.5, 0.8, 1.25}) {
        SCOPED_TRACE("rate " + std::to_string(rate));
        const Played atSpeed = play(lesson, 1.0, 2.5, rate);
        EXPECT_NEAR(double(atSpeed.samples.size()) / asRecorded.samples.size(), 1 / rate, 0.02 / rate);
        EXPECT_NEAR(atSpeed.endPosition, 2.5, 0.001);
        // The last sentence is heard to the end of the recording.
        const double length = 250 * 1152 / 44100.0;
        const Played last = play(lesson, 6.0, length, rate);
        const double heard = (length - 6.0) / rate * kRate;
        EXPECT_NEAR(last.endPosition, length, 0.001);
        EXPECT_GE(last.samples.size(), heard - 0.002 * kRate);
        EXPECT_LE(last.samples.size(), heard + 0.05 * kRate);
        EXPECT_NEAR(frequencyOf(play(tone, 0.5, 2.5, rate).samples), kToneHz, kToneHz * 0.02);
        // A range after another begins with its own sound, as when played first.
        const Played alone = play(lesson, 3.0, 4.2, rate);
        const Played after = play(lesson, {{1.0, 2.5}, {3.0, 4.2}}, rate);
        ASSERT_GE(after.samples.size(), alone.samples.size() - 10);
        EXPECT_EQ(samplesApart(after.samples, alone.samples, 0, alone.samples.size() - 10, 2), 0);
    }
}

// MP3s as the course and LAME's usual settings write them, ranges starting
// at different places in their frames: each hands on the samples the whole
// recording has there.
TEST(PlaybackSpeed, RangesOfAnMp3BeginWithTheRecordingsOwnSamples)
{
    QTemporaryDir dir;
    const QString speech = dir.filePath("speech.wav"), mp3 = dir.filePath("lesson.mp3");
    ASSERT_EQ(QProcess::execute("espeak-ng", {"-w", speech, "-s", "150", "The weather was fine on Monday, so we walked."}), 0);
    for (const QStringList& encoding : {QStringList{"--cbr", "-b", "56", "-m", "m"}, QStringList{"-b", "128", "-m", "s"}}) {
        SCOPED_TRACE(encoding.join(' ').toStdString());
        ASSERT_EQ(QProcess::execute("lame", QStringList{"--quiet", "--resample", "44.1"} << encoding << speech << mp3), 0);
        const Played whole = play(mp3, 0, 10, 1.0);
        for (const double start : {0.81, 1.373, 2.0267}) {
            const Played range = play(mp3, start, start + 0.3, 1.0);
            EXPECT_NEAR(double(range.samples.size()), 0.3 * kRate, 2) << start;
            const size_t first = size_t(std::lround(start * kRate));
            EXPECT_EQ(samplesApart(range.samples, whole.samples, first, range.samples.size(), 1), 0) << start;
        }
    }
}

}  // namespace
