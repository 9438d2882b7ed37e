// The program's MP3 encoder: a sentence converted at the rates a recording
// comes in, mono and stereo, and made an Anki clip, each decoded again by
// the program's decoder and found where the original is, with the original's
// length.

#include "SpokenSentences.h"

#include "anki/Mp3Clip.h"
#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/Mp3Encoding.h"
#include "platform/analysis/WholeRecording.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cmath>

namespace {

enum class Route { Conversion, AnkiClip };

struct Encoding {
    const char* name;
    int rate;
    int channels;
    Route route;
};

struct Match {
    double offsetMs = 0;
    double correlation = 0;
};

// Where `copy` holds `original` best, within ±100 ms: positive when late.
Match bestMatch(const std::vector<float>& original, const std::vector<float>& copy)
{
    const int reach = kAnalysisRate / 10;
    Match best{0, -1};
    for (int lag = -reach; lag <= reach; ++lag) {
        double both = 0, originalEnergy = 0, copyEnergy = 0;
        for (std::size_t i = 0; i < original.size(); ++i) {
            const long j = long(i) + lag;
            if (j < 0 || j >= long(copy.size()))
                continue;
            both += double(original[i]) * copy[std::size_t(j)];
            originalEnergy += double(original[i]) * original[i];
            copyEnergy += double(copy[std::size_t(j)]) * copy[std::size_t(j)];
        }
        const double correlation = both / std::sqrt(originalEnergy * copyEnergy + 1e-12);
        if (correlation > best.correlation)
            best = {1000.0 * lag / kAnalysisRate, correlation};
    }
    return best;
}

// The recording decoded whole and encoded as the Anki export makes a clip.
QString encodeAsClip(const QString& wav, const QString& mp3, int rate)
{
    const WholeRecording whole = decodeWholeRecording(wav, rate);
    if (!whole.ok())
        return whole.error;
    const Mp3Clip clip = encodeMp3Clip(whole.samples.data(), whole.samples.size(), rate);
    QFile file(mp3);
    if (clip.error.isEmpty() && (!file.open(QIODevice::WriteOnly) || file.write(clip.bytes) != clip.bytes.size()))
        return file.errorString();
    return clip.error;
}

TEST(Mp3Encoding, TheDecodedFileStartsAtTheOriginalsFirstSampleAndKeepsItsLength)
{
    SpokenSentences said;
    ASSERT_TRUE(said.speak("said", "en-us", "Excuse me, where is the station?")) << said.lastError.toStdString();
    const Encoding encodings[] = {
        {"16 kHz mono", 16000, 1, Route::Conversion},     {"16 kHz stereo", 16000, 2, Route::Conversion},
        {"22.05 kHz mono", 22050, 1, Route::Conversion},  {"22.05 kHz stereo", 22050, 2, Route::Conversion},
        {"44.1 kHz mono", 44100, 1, Route::Conversion},   {"44.1 kHz stereo", 44100, 2, Route::Conversion},
        {"48 kHz mono", 48000, 1, Route::Conversion},     {"48 kHz stereo", 48000, 2, Route::Conversion},
        {"an Anki clip", 32000, 1, Route::AnkiClip},
    };
    for (const Encoding& e : encodings) {
        const QString name = QString("%1-%2").arg(e.rate).arg(e.channels);
        ASSERT_TRUE(said.sox(name, "said", {"rate", QString::number(e.rate), "channels", QString::number(e.channels)}))
            << said.lastError.toStdString();
        const QString mp3 = said.path(name) + ".mp3";
        const QString error = e.route == Route::Conversion ? encodeMp3(said.path(name), mp3, 60)
                                                           : encodeAsClip(said.path(name), mp3, e.rate);
        ASSERT_TRUE(error.isEmpty()) << e.name << ": " << error.toStdString();

        const DecodedAudio original = decodeAudio(said.path(name));
        const DecodedAudio decoded = decodeAudio(mp3);
        ASSERT_TRUE(original.ok() && decoded.ok()) << e.name << ": " << decoded.error.toStdString();
        const Match match = bestMatch(original.samples, decoded.samples);
        EXPECT_GT(match.correlation, 0.9) << e.name;
        EXPECT_NEAR(match.offsetMs, 0, 1.0) << e.name;
        EXPECT_NEAR(decoded.seconds(), original.seconds(), 0.001) << e.name;
    }
}

}  // namespace
