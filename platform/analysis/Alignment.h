#pragma once

// Dynamic time warping: the cheapest way to walk two readings of different
// pace side by side, frame against frame.

#include "platform/analysis/VoiceAnalysis.h"

#include <utility>
#include <vector>

struct Alignment {
    // Pairs (frame of a, frame of b) from (0, 0) to (last of a, last of b),
    // each step advancing a, b or both by one.
    std::vector<std::pair<int, int>> path;
    // The Euclidean distance between paired frames, averaged along the path
    // (a diagonal step counts twice, so the figure does not depend on how
    // the path turns); 0 for identical sequences.
    double meanDistance = 0;
};

// Aligns two sequences; an empty one gives an empty alignment. The path
// keeps within a band around the straight line from start to end that
// allows either reading to run up to about a third faster in places.
Alignment alignFrames(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b);
