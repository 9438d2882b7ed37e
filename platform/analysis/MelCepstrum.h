#pragma once

// The one MFCC front end: a sound's spectral shape, window by window, as mel
// cepstral coefficients 1 … count (the 0th, the loudness, left out). A
// window of kWindow samples steps one hop at a time; the comparison and the
// own-lesson aligner each choose how many coefficients they keep.

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

// Every frame of the analysis is 10 ms: the hop the windows step by.
constexpr double kFrameSeconds = 0.01;

class MelCepstrum {
public:
    // 32 ms at the analysis rate, through 40 mel filters.
    static constexpr unsigned kWindow = 512;
    static constexpr unsigned kMelFilters = 40;

    MelCepstrum(unsigned rate, unsigned hop, int count);
    ~MelCepstrum();
    MelCepstrum(const MelCepstrum&) = delete;
    MelCepstrum& operator=(const MelCepstrum&) = delete;

    // Whether the analysis could be set up; if not, step() gives nothing.
    bool ok() const;
    // Takes the next `hop` samples and writes coefficients 1 … count of the
    // window that ends with them; these answer kWindow - hop samples late.
    void step(const float* hop, float* coefficients);

private:
    struct Analysis;
    std::unique_ptr<Analysis> analysis_;
};

// Each coefficient's mean over the frames taken off: what stays is the shape
// of the sounds, free of the colour of the voice, microphone or room.
template <size_t N>
void subtractMean(std::vector<std::array<float, N>>& frames)
{
    if (frames.empty())
        return;
    std::array<float, N> mean{};
    for (const std::array<float, N>& frame : frames)
        for (size_t c = 0; c < N; ++c)
            mean[c] += frame[c] / float(frames.size());
    for (std::array<float, N>& frame : frames)
        for (size_t c = 0; c < N; ++c)
            frame[c] -= mean[c];
}
