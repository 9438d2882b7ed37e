// Starts snapped to the silence nearest them, on loudness profiles made here:
// loud and quiet speech alike, a short and a long pause, a noise floor, and
// what is left where it is.

#include "boundaries/SilenceSnap.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

namespace {

// Stretches of speech and pause, seconds each, at a speech level and a
// pause level in dB under full scale.
struct Stretch {
    bool speech;
    double seconds;
};

WaveSummary profile(const std::vector<Stretch>& stretches, double speechDb, double pauseDb)
{
    WaveSummary summary;
    for (const Stretch& s : stretches) {
        const double db = s.speech ? speechDb : pauseDb;
        const auto level = int16_t(std::lround(32767 * std::pow(10.0, db / 20)));
        for (int f = 0; f < int(std::lround(s.seconds / WaveSummary::kFrameSeconds)); ++f) {
            // Speech rises and falls a little from frame to frame.
            const auto frame = int16_t(s.speech && f % 3 == 0 ? level / 2 : level);
            summary.rms.push_back(frame);
            summary.low.push_back(int16_t(-frame));
            summary.high.push_back(frame);
        }
    }
    return summary;
}

TEST(SilenceSnap, StartsGoToTheNearestSilence)
{
    const StartRange anywhere{0, 100};
    struct Case {
        const char* what;
        WaveSummary summary;
        double from;
        StartRange range;
        std::optional<double> snapped;
    };
    // Speech 0–2 s, a pause 2–2.3 s, speech 2.3–4 s.
    const std::vector<Stretch> shortPause = {{true, 2}, {false, 0.3}, {true, 1.7}};
    const std::vector<Stretch> longPause = {{true, 2}, {false, 1.2}, {true, 1.8}};
    const Case cases[] = {
        {"0.3 s into the sentence: the pause's middle", profile(shortPause, -12, -70), 2.6, anywhere, 2.15},
        {"just before the pause", profile(shortPause, -12, -70), 1.9, anywhere, 2.15},
        {"quiet speech snaps alike", profile(shortPause, -45, -90), 2.6, anywhere, 2.15},
        {"over a noise floor", profile(shortPause, -10, -50), 2.6, anywhere, 2.15},
        {"a long pause: a lead-in before the speech", profile(longPause, -12, -70), 3.5, anywhere, 2.9},
        {"no silence within reach", profile({{true, 6}}, -12, -70), 3.0, anywhere, std::nullopt},
        {"over a music bed 20 dB down", profile(shortPause, -12, -32), 2.6, anywhere, 2.15},
        {"a dip of 10 dB is no pause", profile(shortPause, -12, -22), 2.6, anywhere, std::nullopt},
        {"a stop's closure inside a word is no pause", profile({{true, 2}, {false, 0.06}, {true, 2}}, -12, -70), 2.2,
         anywhere, std::nullopt},
        {"the pause before the sentence rather than a nearer closure in its first word",
         profile({{true, 2}, {false, 1.2}, {true, 0.5}, {false, 0.12}, {true, 1.5}}, -12, -70), 3.5, anywhere, 2.9},
        {"held inside the range, within the pause", profile(longPause, -12, -70), 3.5, {2.5, 2.8}, 2.8},
        {"a range that leaves none of the pause", profile(shortPause, -12, -70), 2.6, {2.4, 3}, std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<double> snapped = snapToSilence(c.summary, c.from, c.range);
        ASSERT_EQ(snapped.has_value(), c.snapped.has_value()) << c.what;
        if (snapped)
            EXPECT_NEAR(*snapped, *c.snapped, 0.006) << c.what;
    }
}

}  // namespace
