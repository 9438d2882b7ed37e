// Where sentences start once their words are found: each row a recording of
// speech and silence (10 ms frames) and where each sentence's words were
// found. A start lies in the pause before its sentence's first word: not
// after the word, at most 0.5 s before it, not before the previous
// sentence's last word has ended; and starts rise. And where a sentence's
// first word starts, from where the model began it and what the level hears.

#include "ownlessons/SentenceStarts.h"
#include "ownlessons/SentenceWords.h"

#include <gtest/gtest.h>

namespace {

struct StartsCase {
    const char* name;
    std::vector<int> runs;  // frames of silence, speech, silence, speech, ...
    std::vector<SpokenSentence> sentences;
};

// Frames of silence, speech, silence, speech, ... as the level hears them.
std::vector<bool> speechOf(const std::vector<int>& runs)
{
    std::vector<bool> speech;
    for (size_t r = 0; r < runs.size(); ++r)
        speech.insert(speech.end(), size_t(runs[r]), r % 2 == 1);
    return speech;
}

TEST(SentenceStartsTest, EachStartLiesInThePauseBeforeItsFirstWord)
{
    const std::vector<StartsCase> cases = {
        {"long pauses", {100, 300, 200, 300}, {{100, 400, 0}, {600, 900, 0}}},
        {"a pause shorter than a lead-in", {100, 300, 8, 300}, {{100, 400, 0}, {408, 708, 0}}},
        {"a breath in the pause", {100, 300, 30, 15, 30, 300}, {{100, 400, 0}, {475, 775, 0}}},
        {"a first word that begins softly, before the sound", {100, 300, 90, 300}, {{100, 400, 0}, {485, 790, 0}}},
        {"no silence before the recording's first word", {0, 300, 100, 300}, {{0, 300, 0}, {400, 700, 0}}},
        {"the previous sentence's words not found", {100, 300, 200, 300}, {{-1, -1, 80}, {600, 900, 0}}},
        {"a reader who runs on", {100, 300, 0, 300}, {{100, 400, 0}, {400, 700, 0}}},
        {"words found late, inside the previous sentence's pause", {100, 300, 60, 300},
         {{100, 420, 0}, {470, 760, 0}}},
        {"a first word found after its soft sound began", {364, 200}, {{378, 560, 0}}},
        {"a soft first sound the sound alone reached", {100, 300, 100, 300}, {{100, 400, 0}, {530, 800, 480}}},
    };
    for (const StartsCase& c : cases) {
        const std::vector<bool> speech = speechOf(c.runs);
        const std::vector<int> starts = sentenceStarts(c.sentences, speech);
        ASSERT_EQ(starts.size(), c.sentences.size()) << c.name;
        for (size_t k = 0; k < starts.size(); ++k) {
            const SpokenSentence& s = c.sentences[k];
            if (k > 0)
                EXPECT_GT(starts[k], starts[k - 1]) << c.name << ", sentence " << k + 1;
            if (s.firstWord < 0) {
                EXPECT_EQ(starts[k], s.fallback) << c.name << ", sentence " << k + 1;
                continue;
            }
            EXPECT_LE(starts[k], s.firstWord) << c.name << ", sentence " << k + 1;
            EXPECT_GE(starts[k], s.firstWord - 50) << c.name << ", sentence " << k + 1;
            if (k > 0 && c.sentences[k - 1].lastWordEnd >= 0)
                EXPECT_GE(starts[k], std::min(c.sentences[k - 1].lastWordEnd, s.firstWord))
                    << c.name << ", sentence " << k + 1;
            // Where the pause allows, the start leaves the first word room.
            const int pause = s.firstWord - (k > 0 && c.sentences[k - 1].lastWordEnd >= 0
                                                 ? c.sentences[k - 1].lastWordEnd
                                                 : 0);
            if (pause >= 40)
                EXPECT_LE(starts[k], s.firstWord - 10) << c.name << ", sentence " << k + 1;
            // A long pause gives the whole lead-in, as the editor's snap does.
            if (pause >= 4 * kLeadInFrames && s.fallback == 0)
                EXPECT_LE(starts[k], s.firstWord - kLeadInFrames) << c.name << ", sentence " << k + 1;
            // Nor does it cut the sound the word opens with.
            size_t onset = size_t(s.firstWord);
            while (onset > 0 && speech[onset - 1] && size_t(s.firstWord) - onset < 20)
                --onset;
            if (onset == 0 || !speech[onset - 1])
                EXPECT_LE(starts[k], int(onset)) << c.name << ", sentence " << k + 1;
        }
    }
}

// Sentences found where the start from the sound alone lies a sentence
// late (noise heard as speech hides a pause): the second sentence's words
// were found, not verified, and lie before that start; the third's were
// not found. Each must start in the pause before its own speech, which
// begins at 500, 900 and 1300; where the words lie after the start from
// the sound, that start stands.
TEST(SentenceStartsTest, AStartThatSlippedASentenceGivesWayToTheWordsFound)
{
    struct Case {
        const char* name;
        SpokenSentence second, third;
        std::pair<int, int> secondIn, thirdIn;  // where each start must lie
    };
    const std::vector<Case> cases = {
        {"slipped", {500, 800, 870, false}, {-1, -1, 1270}, {470, 500}, {870, 900}},
        {"the words after the start from the sound", {900, 1200, 470, false}, {-1, -1, 1270}, {470, 470}, {1270, 1270}},
    };
    std::vector<bool> speech;
    for (int r = 0; r < 8; ++r)
        speech.insert(speech.end(), size_t(r == 0 ? 100 : r % 2 == 1 ? 300 : 100), r % 2 == 1);
    for (const Case& c : cases) {
        const std::vector<int> starts =
            sentenceStarts({{100, 400, 70}, c.second, c.third, {1300, 1600, 1270}}, speech);
        EXPECT_GE(starts[1], c.secondIn.first) << c.name;
        EXPECT_LE(starts[1], c.secondIn.second) << c.name;
        EXPECT_GE(starts[2], c.thirdIn.first) << c.name;
        EXPECT_LE(starts[2], c.thirdIn.second) << c.name;
        EXPECT_GT(starts[3], starts[2]) << c.name;
    }
}

// A sentence's words as found: the first begins where the level first
// hears it, at most 0.15 s before the model began it; the words after it
// stay where the weighed joins put them.
TEST(SentenceStartsTest, ASentencesFirstWordStartsAtItsOwnSound)
{
    struct Case { const char* name; std::vector<int> runs; int firstFrom, secondFrom; int start; };
    const std::vector<Case> cases = {
        {"a soft first sound the level hears", {20, 60, 20, 40}, 24, 104, 20},
        {"speech all the way before it: at most 0.15 s of it", {0, 80, 20, 40}, 40, 104, 25},
        {"a first word the model begins in the level's silence", {20, 60, 20, 40}, 10, 104, 10},
    };
    for (const Case& c : cases) {
        std::vector<FoundWord> words = {{0, 0, -1, -1}, {0, 0, c.firstFrom, 70}, {0, 0, c.secondFrom, 120}};
        startFirstWordAtItsSound(&words, speechOf(c.runs));
        EXPECT_EQ(words[0].startFrame, -1) << c.name;
        EXPECT_EQ(words[1].startFrame, c.start) << c.name;
        EXPECT_EQ(words[2].startFrame, c.secondFrom) << c.name;
    }
}

}  // namespace
