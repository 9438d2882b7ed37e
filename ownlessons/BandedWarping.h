#pragma once

// Time warping of a reference reading (the text read by the synthetic
// voice) against a recording, inside a band: for each reference frame only
// a window of recording frames is looked at, so time and memory grow with
// the length, not its square. Open at both ends: the path may begin and end
// anywhere in the band's first and last rows, so speech before and after the
// text costs nothing. The warping itself is platform/analysis/FrameWarping's.

#include "platform/analysis/FrameWarping.h"
#include "platform/analysis/SpeechFeatures.h"

#include <vector>

struct Warping {
    // The recording frame matched with each reference frame.
    std::vector<int> matched;
    // The distance of each reference frame to its match.
    std::vector<float> distance;
};

Warping warpInBand(const std::vector<SpeechCepstrum>& reference, const std::vector<SpeechCepstrum>& recording,
                   const WarpingBand& band);

// Frames averaged `factor` at a time, for a coarse first pass.
std::vector<SpeechCepstrum> coarsened(const std::vector<SpeechCepstrum>& frames, int factor);
