#pragma once

// Sound files turned into samples for analysis: mono, 32-bit float, at one
// fixed rate, whatever the file's own format.

#include <QString>

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
