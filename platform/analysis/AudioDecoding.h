#pragma once

// Sound files turned into samples for analysis: mono, 32-bit float, at one
// fixed rate, whatever the file's own format.

#include <QString>

#include <cstddef>
#include <functional>
#include <vector>

constexpr int kAnalysisRate = 16000;

struct DecodedAudio {
    std::vector<float> samples;  // mono, full scale ±1, at kAnalysisRate
    // Empty when the file was read; otherwise why not, naming the file.
    QString error;

    bool ok() const { return error.isEmpty(); }
    double seconds() const { return double(samples.size()) / kAnalysisRate; }
};

// Decodes the part of a sound file (any format GStreamer reads: MP3, WAV…)
// from startSeconds to endSeconds; a negative end means to the end of the
// file. Blocks until done, so call it off the GUI thread.
DecodedAudio decodeAudio(const QString& path, double startSeconds = 0, double endSeconds = -1);

// Samples handed over as they are decoded; false stops the decoding.
using AudioBlock = std::function<bool(const float* samples, size_t count)>;
// How long the file says it is, in seconds, before the first block.
using AudioLength = std::function<void(double seconds)>;

// Decodes a whole sound file at kAnalysisRate, handing the samples to
// `block` in pieces of `blockSeconds` (the last one shorter) as they come:
// only a few seconds are held at a time, however long the file. Empty when
// the file was read to its end; otherwise why not (naming the file), or
// "已停止" when `block` stopped it. `length` hears the file's own length
// when the file tells it.
QString streamAudio(const QString& path, double blockSeconds, const AudioBlock& block,
                    const AudioLength& length = {});
