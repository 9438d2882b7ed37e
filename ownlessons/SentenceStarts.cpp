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

// The first pause after `frame`, before `before`: none (begin = end = -1)
// where the speech runs on.
Gap pauseAfter(const std::vector<bool>& speech, int frame, int before)
{
    const int last = std::min(before, int(speech.size()));
    int run = 0;
    for (int t = std::max(0, frame); t < last; ++t) {
        if (!speech[size_t(t)]) {
            ++run;
            continue;
        }
        if (run >= kShortestPause)
            return {t - run, t};
        run = 0;
    }
    return {-1, -1};
}

// A start in the pause [begin, end) before a sound at `end`: a lead-in of
// up to half the pause.
int startBefore(int sound, int pauseBegin)
{
    return sound - std::min(kLeadInFrames, std::max(0, sound - pauseBegin) / 2);
}

}  // namespace

std::vector<int> sentenceStarts(const std::vector<SpokenSentence>& sentences, const std::vector<bool>& speech)
{
    std::vector<int> starts(sentences.size());
    int previousStart = -1;
    int previousEnd = 0;
    int knownEnd = -1;  // the previous sentence's words' end, where they placed its start
    bool slipped = false;  // the previous sentence's start from the sound alone slipped
    for (size_t k = 0; k < sentences.size(); ++k) {
        const SpokenSentence& s = sentences[k];
        const bool byWords = s.firstWord >= 0 && (s.verified || s.fallback >= s.lastWordEnd);
        int start = s.fallback;
        if (byWords) {
            // The previous sentence's words, where found, end the pause;
            // otherwise the silence before the word's first sound does.
            Gap gap = pauseBefore(speech, s.firstWord);
            if (knownEnd >= 0)
                gap = {knownEnd, std::max(knownEnd, std::min(gap.end, s.firstWord))};
            const int sound = std::min(s.firstWord, gap.end);
            start = startBefore(sound, gap.begin);
            // The fallback, made from the sound itself, reaches a soft first
            // sound the word's place may miss: the earlier of the two, within bounds.
            if (s.fallback < start && s.fallback >= gap.begin)
                start = s.fallback;
            start = std::max({start, std::min(previousEnd, s.firstWord), s.firstWord - kMostLeadFrames});
        } else if (slipped && s.firstWord < 0) {
            const Gap gap = pauseAfter(speech, knownEnd, s.fallback);
            if (gap.end >= 0)
                start = startBefore(gap.end, gap.begin);
        }
        start = std::max({0, start, previousStart + 1});
        starts[k] = start;
        previousStart = start;
        slipped = byWords && !s.verified;
        knownEnd = byWords ? s.lastWordEnd : -1;
        if (byWords && s.lastWordEnd >= 0)
            previousEnd = s.lastWordEnd;
    }
    return starts;
}
