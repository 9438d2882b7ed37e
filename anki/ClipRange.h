#pragma once

// Where a sentence's clip begins and ends in its lesson's recording: the
// sentence's range widened by the padding on each side, but never past the
// midpoint of the silence between its speech and the neighbouring speech, nor
// past the recording's ends.

#include <optional>
#include <vector>

struct ClipRange {
    double start = 0;
    double end = 0;
};

constexpr int kMaxPaddingMs = 500;

// The recording's samples, mono at `rate`, and the frames in it that hold
// speech by their energy.
class SpeechMap {
public:
    SpeechMap(const std::vector<float>& samples, int rate);

    double duration() const { return duration_; }
    // The sentence range [start, end] (end < 0: the recording's end) padded by
    // paddingMs (0-500) up to the silence midpoints around its edges.
    ClipRange paddedRange(double start, double end, int paddingMs) const;

private:
    // The last speech before `t` and the first speech after it, within the
    // search's reach; nothing when there is none.
    std::optional<double> speechEndBefore(double t) const;
    std::optional<double> speechStartAfter(double t) const;
    // Halfway between the speech on either side of `t`, taking the given
    // times for a side without speech in reach.
    double silenceMidpoint(double t, double speechBefore, double speechAfter) const;

    std::vector<bool> speech_;  // one per frame
    double frameSeconds_;
    double duration_;
};
