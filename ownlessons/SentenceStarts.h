#pragma once

// Where each sentence of an aligned recording starts: in the pause before
// its first word, a little before the word so that its first sound is
// whole, at most 0.5 s before it and never before the previous sentence's
// last word has ended. A breath in the pause belongs to the pause.

#include <vector>

// One sentence as the words were found (10 ms frames).
struct SpokenSentence {
    int firstWord = -1;  // where its first word begins; -1 when not found
    int lastWordEnd = -1;  // where its last word ends (the frame after it)
    int fallback = 0;      // the start from the sound alone: taken when its words were not found,
                           // and when it lies earlier in the same pause
    // Words found but not verified place the start only where the start
    // from the sound alone lies after all of them: that start slipped a
    // sentence (noise heard as speech hides the pause), and so may the next
    // one's, which then lies in the first pause after these words when its
    // own words were not found.
    bool verified = true;
};

// The most a start lies before its first word as found, and the lead-in it
// takes when the pause allows (frames). The model may place a word's start
// a little before its first sound, so a start stays within 0.3 s of the word
// found to lie within 0.5 s of what is heard.
constexpr int kMostLeadFrames = 30;
constexpr int kLeadInFrames = 30;

// The start of each sentence (frames), rising from sentence to sentence;
// where the previous sentence's words are not known, the silence before the
// first word in `speech` (true for frames that hold sound) bounds the pause.
std::vector<int> sentenceStarts(const std::vector<SpokenSentence>& sentences, const std::vector<bool>& speech);
