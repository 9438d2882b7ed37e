#include "ownlessons/SentenceStarts.h"

#include <algorithm>

namespace {

// Silence shorter than this is a stop inside a word, not a pause.
constexpr int kShortestPause = 10;
// The pause before a word is looked for this far before where it was found
// (its first sound may begin before that).
constexpr int kPauseReach = 50;

struct Gap {
    int begin;  // the previous speech's end
    int end;    // where the sound before the word begins
};

// The pause before a word found at `frame`: the nearest run of silence at
// least kShortestPause long that ends at most kPauseReach before it
// (the word's first sound may begin a little before where the word was
// found); none (begin = end = frame) in speech that runs on.
Gap pauseBefore(const std::vector<bool>& speech, int frame)
{
    const int last = std::min(frame, int(speech.size()));
    int run = 0;
    for (int t = last - 1; t >= 0 && t >= last - kPauseReach - run; --t) {
        if (speech[size_t(t)]) {
            run = 0;
            continue;
        }
        if (++run < kShortestPause)
            continue;
        const int end = t + run;
        int begin = t;
        // Followed back far enough to give the whole lead-in.
        while (begin > 0 && !speech[size_t(begin - 1)] && end - begin < 2 * kLeadInFrames)
            --begin;
        return {begin, end};
    }
    return {frame, frame};
}

}  // namespace

std::vector<int> sentenceStarts(const std::vector<SpokenSentence>& sentences, const std::vector<bool>& speech)
{
    std::vector<int> starts(sentences.size());
    int previousStart = -1;
    int previousEnd = 0;
    for (size_t k = 0; k < sentences.size(); ++k) {
        const SpokenSentence& s = sentences[k];
        int start = s.fallback;
        if (s.firstWord >= 0) {
            // The previous sentence's words, where found, end the pause;
            // otherwise the silence before the word's first sound does.
            const int known = k > 0 && sentences[k - 1].lastWordEnd >= 0 ? sentences[k - 1].lastWordEnd : -1;
            Gap gap = pauseBefore(speech, s.firstWord);
            if (known >= 0)
                gap = {known, std::max(known, std::min(gap.end, s.firstWord))};
            const int sound = std::min(s.firstWord, gap.end);
            start = sound - std::min(kLeadInFrames, std::max(0, sound - gap.begin) / 2);
            // The fallback, made from the sound itself, reaches a soft first
            // sound the word's place may miss: the earlier of the two, within bounds.
            if (s.fallback < start && s.fallback >= gap.begin)
                start = s.fallback;
            start = std::max({start, std::min(previousEnd, s.firstWord), s.firstWord - kMostLeadFrames});
        }
        start = std::max({0, start, previousStart + 1});
        starts[k] = start;
        previousStart = start;
        if (s.lastWordEnd >= 0)
            previousEnd = s.lastWordEnd;
    }
    return starts;
}
