// The reading analysis: pitch of steady tones, decoding a sentence's range,
// and the scores on readings that are the same, stretched, softer, spoken by
// another voice, another sentence, or no voice at all.

#include "SpokenSentences.h"

#include "platform/analysis/AudioDecoding.h"
#include "platform/analysis/Mp3Encoding.h"
#include "platform/analysis/ReadingScore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

const char* const kStation = "Excuse me, where is the station?";
const char* const kBank = "Go straight on and turn left at the bank.";

// ----- Pitch -----

std::vector<float> tone(double hz, double seconds)
{
    std::vector<float> samples(size_t(seconds * kAnalysisRate));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = float(0.3 * std::sin(2 * M_PI * hz * double(i) / kAnalysisRate));
    return samples;
}

class SteadyTone : public ::testing::TestWithParam<double> {};

TEST_P(SteadyTone, PitchWithinTwoPercent)
{
    const double hz = GetParam();
    const VoiceProfile profile = analyseVoice(tone(hz, 1.0), kAnalysisRate);
    std::vector<float> voiced;
    for (float p : profile.pitchHz)
        if (p > 0)
            voiced.push_back(p);
    ASSERT_GE(voiced.size(), profile.pitchHz.size() * 8 / 10) << "most frames of a tone are voiced";
    for (float p : voiced)
        EXPECT_NEAR(p, hz, 0.02 * hz);
    EXPECT_TRUE(profile.hasVoice);
}

INSTANTIATE_TEST_SUITE_P(Tones, SteadyTone, ::testing::Values(110.0, 220.0, 440.0));

// ----- Decoding -----

TEST(Decoding, ARangeOfAnMp3GivesExactlyItsSamples)
{
    // The second sentence of the test recording.
    const DecodedAudio part = decodeAudio(LEXBAY_TEST_RECORDING, 2.0, 4.3);
    ASSERT_TRUE(part.ok()) << part.error.toStdString();
    EXPECT_NEAR(double(part.samples.size()), 2.3 * kAnalysisRate, 2);
    const DecodedAudio whole = decodeAudio(LEXBAY_TEST_RECORDING);
    ASSERT_TRUE(whole.ok());
    EXPECT_NEAR(whole.seconds(), 6.53, 0.01);
    // The range is that stretch of the whole: it matches best with no shift
    // (resampling after a seek may move it by a fraction of a sample).
    const auto correlation = [&](long shift) {
        double both = 0, mine = 0, theirs = 0;
        for (size_t i = 0; i < part.samples.size(); ++i) {
            const double a = part.samples[i], b = whole.samples[i + 2 * kAnalysisRate + shift];
            both += a * b;
            mine += a * a;
            theirs += b * b;
        }
        return both / std::sqrt(mine * theirs);
    };
    EXPECT_GT(correlation(0), 0.95);
    for (long shift : {-3L, -2L, -1L, 1L, 2L, 3L})
        EXPECT_LT(correlation(shift), correlation(0)) << shift;
}

TEST(Decoding, AMissingFileSaysSoAndNamesIt)
{
    const DecodedAudio none = decodeAudio("/nonexistent/tlx9.mp3", 1, 2);
    EXPECT_FALSE(none.ok());
    EXPECT_TRUE(none.error.contains("/nonexistent/tlx9.mp3")) << none.error.toStdString();
    EXPECT_TRUE(none.samples.empty());
}

// A whole file streamed in blocks: the blocks laid end to end are the
// samples a decoding of its whole range gives, each block as long as asked
// but the last, and the file's length (the program's MP3s tell it) is told
// before the first; a block that says stop ends the decoding.
struct StreamedCase {
    double blockSeconds;
    int stopAfter;  // blocks taken before the reader says stop; 0 never
};

class StreamedDecoding : public ::testing::TestWithParam<StreamedCase> {
protected:
    static void SetUpTestSuite()
    {
        made_ = std::make_unique<SpokenSentences>();
        ASSERT_TRUE(made_->synthesise("sweep", {"synth", "3.3", "sine", "200-3000", "vol", "0.5"}))
            << made_->lastError.toStdString();
        ASSERT_EQ(encodeMp3(made_->path("sweep"), mp3(), 60), QString());
    }
    static QString mp3() { return made_->path("sweep") + ".mp3"; }
    static void TearDownTestSuite() { made_.reset(); }
    static inline std::unique_ptr<SpokenSentences> made_;
};

TEST_P(StreamedDecoding, HandsOverTheFileInBlocks)
{
    const StreamedCase c = GetParam();
    const QString file = mp3();
    const DecodedAudio whole = decodeAudio(file, 0, 10);
    ASSERT_TRUE(whole.ok());
    ASSERT_NEAR(whole.seconds(), 3.3, 0.01);
    std::vector<size_t> sizes;
    std::vector<float> joined;
    double told = -1;
    double toldAtFirst = -1;
    const QString error = streamAudio(
        file, c.blockSeconds,
        [&](const float* samples, size_t count) {
            if (sizes.empty())
                toldAtFirst = told;
            sizes.push_back(count);
            joined.insert(joined.end(), samples, samples + count);
            return c.stopAfter == 0 || int(sizes.size()) < c.stopAfter;
        },
        [&](double seconds) { told = seconds; });
    EXPECT_NEAR(toldAtFirst, whole.seconds(), 0.05) << "the length comes before the first block";
    const size_t block = size_t(std::lround(c.blockSeconds * kAnalysisRate));
    for (size_t k = 0; k + 1 < sizes.size(); ++k)
        EXPECT_EQ(sizes[k], block) << "block " << k;
    if (c.stopAfter > 0) {
        EXPECT_EQ(error, QStringLiteral("已停止"));
        EXPECT_EQ(int(sizes.size()), c.stopAfter);
    } else {
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(joined.size(), whole.samples.size());
    }
    ASSERT_LE(joined.size(), whole.samples.size());
    EXPECT_TRUE(std::equal(joined.begin(), joined.end(), whole.samples.begin())) << "the same samples, in order";
}

INSTANTIATE_TEST_SUITE_P(Decoding, StreamedDecoding,
                         ::testing::Values(StreamedCase{1.0, 0}, StreamedCase{0.37, 0}, StreamedCase{60, 0},
                                           StreamedCase{0.5, 3}));

TEST(Decoding, AMissingFileStreamedSaysSoAndNamesIt)
{
    int blocks = 0;
    const QString error = streamAudio("/nonexistent/tlx9.mp3", 1, [&](const float*, size_t) { return ++blocks > 0; });
    EXPECT_TRUE(error.contains("/nonexistent/tlx9.mp3")) << error.toStdString();
    EXPECT_EQ(blocks, 0);
}

// ----- Scores -----

class Readings : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        spoken_ = std::make_unique<SpokenSentences>();
        SpokenSentences& s = *spoken_;
        const bool made = s.speak("station", "en-gb", kStation) && s.speak("station-us", "en-us", kStation)
                          && s.speak("station-f", "en+f3", kStation) && s.speak("bank", "en-gb", kBank)
                          && s.speak("bank-us", "en-us", kBank) && s.sox("slower", "station", {"tempo", "0.8"})
                          && s.sox("faster", "station", {"tempo", "1.25"})
                          && s.sox("station-f-quieter", "station-f", {"vol", "-12dB"})
                          && s.synthesise("silence", {"trim", "0", "2"})
                          && s.synthesise("noise", {"synth", "2", "whitenoise", "vol", "0.01"});
        ASSERT_TRUE(made) << s.lastError.toStdString();
    }
    static void TearDownTestSuite() { spoken_.reset(); }

    static VoiceProfile profile(const char* name)
    {
        const DecodedAudio audio = decodeAudio(spoken_->path(name));
        EXPECT_TRUE(audio.ok()) << audio.error.toStdString();
        return analyseVoice(audio.samples, kAnalysisRate);
    }
    static ReadingScore score(const char* recording, const char* take)
    {
        return scoreReading(profile(recording), profile(take));
    }

    static std::unique_ptr<SpokenSentences> spoken_;
};

std::unique_ptr<SpokenSentences> Readings::spoken_;

TEST_F(Readings, TheSameReadingScoresAtLeast95)
{
    const ReadingScore same = score("station", "station");
    ASSERT_TRUE(same.scored);
    EXPECT_GE(same.similarity, 95);
    EXPECT_GE(same.intonation, 95);
}

TEST_F(Readings, TheSameReadingSlowerOrFasterScoresAtLeast85)
{
    for (const char* stretched : {"slower", "faster"}) {
        const ReadingScore s = score("station", stretched);
        ASSERT_TRUE(s.scored) << stretched;
        EXPECT_GE(s.similarity, 85) << stretched;
        EXPECT_GE(s.intonation, 85) << stretched;
    }
}

TEST_F(Readings, AnotherVoiceOnTheSentenceBeatsTheSameVoiceOnAnother)
{
    const struct {
        const char *recording, *otherVoice, *otherSentence;
    } cases[] = {{"station", "station-us", "bank"}, {"bank", "bank-us", "station"}};
    for (const auto& c : cases) {
        const ReadingScore right = score(c.recording, c.otherVoice);
        const ReadingScore wrong = score(c.recording, c.otherSentence);
        EXPECT_GE(right.similarity, wrong.similarity + 20) << c.recording;
        EXPECT_GT(right.intonation, wrong.intonation) << c.recording;
    }
}

TEST_F(Readings, AQuieterTakeScoresTheSame)
{
    // A take that scores in the middle of the range, where a shift would show.
    const ReadingScore loud = score("station", "station-f");
    const ReadingScore quiet = score("station", "station-f-quieter");
    ASSERT_TRUE(loud.scored && quiet.scored);
    EXPECT_LT(loud.similarity, 95);
    EXPECT_NEAR(quiet.similarity, loud.similarity, 3);
    EXPECT_NEAR(quiet.intonation, loud.intonation, 3);
}

TEST_F(Readings, SilenceOrNoiseIsNoVoiceAndNoScore)
{
    for (const char* take : {"silence", "noise"}) {
        const ReadingScore s = score("station", take);
        EXPECT_FALSE(s.takeHasVoice) << take;
        EXPECT_FALSE(s.scored) << take;
    }
}

}  // namespace
