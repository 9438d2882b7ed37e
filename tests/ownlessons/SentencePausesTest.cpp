// Which pause of a recording comes before each sentence, when the warping
// put the sentences roughly right: each row a recording of speech and
// silence (10 ms frames), where the warping put each sentence, and the run
// of speech each sentence must start with.

#include "ownlessons/SentencePauses.h"

#include <gtest/gtest.h>

namespace {

// Where the warping put a sentence, counted from the start of a speech run.
struct Warped {
    int run;
    int around;       // its first speech
    int previousEnd;  // the previous sentence's last speech
};

struct PauseCase {
    const char* name;
    std::vector<int> runs;  // frames of silence, speech, silence, speech, ...
    std::vector<Warped> warped;
    std::vector<int> startRun;  // the speech run each sentence starts with; -1 for no pause
};

TEST(SentencePausesTest, EachSentenceGetsThePauseBeforeItsOwnFirstSpeech)
{
    const std::vector<PauseCase> cases = {
        {"warped start squeezed to the front of a long pause", {50, 300, 240, 300}, {{1, 0, 0}, {3, -220, -225}},
         {1, 3}},
        {"previous sentence warped into this one's first word", {50, 300, 110, 300}, {{1, 0, 0}, {3, 5, 4}}, {1, 3}},
        {"warped a soft first word late, past a gap between words", {50, 300, 200, 40, 20, 260},
         {{1, 0, 0}, {5, 60, 55}}, {1, 3}},
        {"warped a word early, onto a gap in the previous sentence", {50, 300, 15, 100, 150, 300},
         {{1, 0, 0}, {3, 5, -10}}, {1, 5}},
        {"two sentences squeezed near one pause do not share it", {50, 300, 100, 100, 30, 300},
         {{1, 0, 0}, {3, 40, 35}, {3, 60, 55}}, {1, 3, 5}},
        {"a sentence over two breaths starts before the first", {50, 200, 60, 150, 40, 300},
         {{1, 0, 0}, {5, -50, -55}}, {1, 5}},
        {"a reader who runs on leaves no pause", {50, 300, 5, 300}, {{1, 0, 0}, {3, 0, -2}}, {1, -1}},
    };
    for (const PauseCase& c : cases) {
        std::vector<bool> speech;
        std::vector<int> runStart;
        for (size_t r = 0; r < c.runs.size(); ++r) {
            runStart.push_back(int(speech.size()));
            speech.insert(speech.end(), size_t(c.runs[r]), r % 2 == 1);
        }
        std::vector<WarpedSentence> sentences;
        for (const Warped& w : c.warped)
            sentences.push_back({runStart[size_t(w.run)] + w.around, runStart[size_t(w.run)] + w.previousEnd});
        const std::vector<Pause> chosen = choosePauses(pausesOf(speech, 12), sentences, 150);
        ASSERT_EQ(chosen.size(), c.startRun.size()) << c.name;
        for (size_t k = 0; k < chosen.size(); ++k) {
            const int expected = c.startRun[k] < 0 ? -1 : runStart[size_t(c.startRun[k])];
            EXPECT_EQ(chosen[k].end, expected) << c.name << ", sentence " << k + 1;
            if (chosen[k].end >= 0) {
                EXPECT_FALSE(speech[size_t(chosen[k].begin)]) << c.name << ", sentence " << k + 1;
            }
        }
    }
}

}  // namespace
