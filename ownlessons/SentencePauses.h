#pragma once

// The pauses of a recording, and which pause comes before each sentence.
// The warping says roughly where each sentence's first speech lies; the
// pauses are chosen for all sentences at once, in order, one pause per
// sentence, so that a sentence whose warped start landed in its neighbour
// (a soft first word, a drift of a word) still gets the pause before its
// own first speech, and no two sentences share one.

#include <vector>

struct Pause {
    int begin = -1;  // first silent frame
    int end = -1;    // the speech after it; -1 when no pause was found
};

// The runs of at least `shortest` silent frames that have speech after them.
std::vector<Pause> pausesOf(const std::vector<bool>& speech, int shortest);

// Where the warping puts a sentence: its first speech at `around`, the
// previous sentence's last speech at `previousEnd`.
struct WarpedSentence {
    int around = 0;
    int previousEnd = 0;
};

// One pause per sentence (or none, when no pause within `reach` frames of
// where the warping puts it fits), the pauses rising from sentence to
// sentence. Long pauses near the warped start win; a pause that covers the
// warped gap between the sentences wins over one that does not.
std::vector<Pause> choosePauses(const std::vector<Pause>& pauses, const std::vector<WarpedSentence>& sentences,
                                int reach);
