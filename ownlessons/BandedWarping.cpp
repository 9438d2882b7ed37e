#include "ownlessons/BandedWarping.h"

namespace {

// Each reference frame pays once, the distance to its recording frame, so
// paths of any shape compare fairly and the open ends cost nothing. From the
// cell one reference frame back and one, two or three recording frames back
// (the recording runs as fast as the reference, or up to three times slower:
// a long pause), or two reference frames back and one recording frame
// (twice as fast).
const WarpingRule kReadingInRecording = {{{1, 1, 1}, {1, 2, 1}, {1, 3, 1}, {2, 1, 1}}, 1, true, true};

}  // namespace

Warping warpInBand(const std::vector<SpeechCepstrum>& reference, const std::vector<SpeechCepstrum>& recording,
                   const WarpingBand& band)
{
    const WarpedPath path = warpFrames(reference, recording, band, kReadingInRecording);
    Warping warping;
    if (path.cells.empty())
        return warping;
    warping.matched.assign(reference.size(), 0);
    warping.distance.assign(reference.size(), 0);
    for (const auto& [i, j] : path.cells) {
        warping.matched[size_t(i)] = j;
        warping.distance[size_t(i)] = frameDistance(reference[size_t(i)], recording[size_t(j)]);
    }
    return warping;
}

std::vector<SpeechCepstrum> coarsened(const std::vector<SpeechCepstrum>& frames, int factor)
{
    return averagedFrames(frames, factor);
}
