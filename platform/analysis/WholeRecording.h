#pragma once

// A whole sound file decoded to mono float samples at a rate the caller
// chooses, for work that keeps the sound (clips cut from a lesson's
// recording) rather than only analysing it. Decoded by the same pipeline as
// decodeAudio (AudioDecoding.cpp).

#include <QString>

#include <vector>

struct WholeRecording {
    std::vector<float> samples;  // mono, full scale ±1
    int rate = 0;
    // Empty when the file was read; otherwise why not, naming the file.
    QString error;

    bool ok() const { return error.isEmpty(); }
    double seconds() const { return rate > 0 ? double(samples.size()) / rate : 0; }
};

// Blocks until the whole file is decoded: call it off the GUI thread.
WholeRecording decodeWholeRecording(const QString& path, int rate);
