#pragma once

// What a long recording says, frame by frame (10 ms): its level and its
// spectral shape (MFCC 1–12, with the recording's mean taken off, so that
// two voices and two microphones compare by the sounds said). Made for
// finding sentences in recordings of an hour: the file is decoded a few
// seconds at a time, never held whole.

#include "platform/analysis/MelCepstrum.h"

#include <QString>

#include <array>
#include <atomic>
#include <cstddef>
#include <functional>
#include <vector>

constexpr int kSpeechCepstra = 12;
using SpeechCepstrum = std::array<float, kSpeechCepstra>;

struct SpeechFeatures {
    std::vector<SpeechCepstrum> cepstrum;
    std::vector<float> levelDb;  // dB of full scale
    QString error;               // empty when read

    int frames() const { return int(levelDb.size()); }
    double seconds() const { return frames() * kFrameSeconds; }
};

// Features from samples fed in pieces of any size, at `rate`.
class SpeechFeatureStream {
public:
    explicit SpeechFeatureStream(int rate);
    ~SpeechFeatureStream();
    SpeechFeatureStream(const SpeechFeatureStream&) = delete;
    SpeechFeatureStream& operator=(const SpeechFeatureStream&) = delete;

    void feed(const float* samples, size_t count);
    // Makes room for this many seconds of frames at once.
    void reserve(double seconds);
    // The frames made so far.
    int frames() const;
    // All frames, the mean spectral shape taken off.
    SpeechFeatures finish();

private:
    struct Analysis;
    Analysis* analysis_;
};

// The features of samples at `rate`.
SpeechFeatures speechFeatures(const std::vector<float>& samples, int rate);

// The features of a sound file (anything GStreamer decodes). `progress`
// hears the seconds decoded so far; a set `cancel` stops with an error; a
// file that takes longer than `timeLimitSeconds` to decode is refused.
// `alsoHear` gets the same samples (at kAnalysisRate) as they are decoded,
// for a second analysis from the one decoding; it runs on a thread of its
// own beside this analysis, a few seconds at a time; `lengthKnown` hears,
// before the first samples, how many seconds to make room for when the file
// tells its length. The file is never held whole, however long.
SpeechFeatures speechFeaturesOfFile(const QString& path, double timeLimitSeconds,
                                    const std::function<void(double seconds)>& progress = {},
                                    const std::atomic_bool* cancel = nullptr,
                                    const std::function<void(const float* samples, size_t count)>& alsoHear = {},
                                    const std::function<void(double seconds)>& lengthKnown = {});
