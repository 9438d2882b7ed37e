#pragma once

// Where a sentence's start may be moved: after the previous sentence's first
// spoken word (so that sentence keeps a word) and before the next sentence's
// start (or the recording's end), a hundredth of a second inside each, as
// the timing file counts.

#include <vector>

struct StartRange {
    double earliest = 0;
    double latest = 0;

    bool holds(double seconds) const { return seconds >= earliest - 1e-9 && seconds <= latest + 1e-9; }
    bool empty() const { return latest < earliest; }
};

// starts: every sentence's start; firstWords: each sentence's first spoken
// word's start, or a negative value where it is not known (its start then
// stands for it); recordingSeconds: the recording's length, 0 when unknown.
StartRange startRange(const std::vector<double>& starts, const std::vector<double>& firstWords,
                      double recordingSeconds, int sentence);
