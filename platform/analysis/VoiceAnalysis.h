#pragma once

// What one reading sounds like, frame by frame (10 ms each): its waveform's
// peaks for drawing, its loudness, its pitch, and its spectral shape (MFCC)
// for comparing it with another reading.

#include "platform/analysis/MelCepstrum.h"

#include <array>
#include <vector>

// MFCC 1..8. The 0th is the loudness, left out so that a quieter take
// compares the same; the ones above 8 follow the voice's own pitch and
// timbre more than the sounds said, and would mark a different voice
// reading the same sentence almost as far off as a different sentence.
constexpr int kCepstralCount = 8;

using CepstralFrame = std::array<float, kCepstralCount>;

struct VoiceProfile {
    double seconds = 0;  // the length of the audio analysed
    // Per frame: the largest absolute sample (full scale 1), the level in
    // dB of full scale, the pitch in Hz (0 where there is no voice) and the
    // MFCC.
    std::vector<float> peaks;
    std::vector<float> levelDb;
    std::vector<float> pitchHz;
    std::vector<CepstralFrame> cepstrum;
    // The frames from the first to the last sound loud enough to be speech,
    // leading and trailing silence left out: [voiceStart, voiceEnd).
    int voiceStart = 0;
    int voiceEnd = 0;
    // Speech was found: a level above the speech floor with a pitch for long
    // enough. Silence and noise have none.
    bool hasVoice = false;

    int frames() const { return int(peaks.size()); }
};

// Analyses mono samples at `rate` (the decoder's kAnalysisRate).
VoiceProfile analyseVoice(const std::vector<float>& samples, int rate);
