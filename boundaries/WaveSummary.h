#pragma once

// A recording's sound summarised for drawing and for finding its silences:
// per 5 ms of the analysis decoding, the frame's lowest and highest sample
// and its loudness (RMS). Worked out once per recording and kept in a cache
// folder, so that a sentence's wave is drawn without decoding the file again;
// a cached summary is used only while the recording keeps its size and time.

#include <QString>

#include <cstdint>
#include <vector>

struct WaveSummary {
    static constexpr int kFrameSamples = 80;  // at the analysis rate, 16 kHz
    static constexpr double kFrameSeconds = 0.005;

    // Full scale is 32767 in each.
    std::vector<int16_t> low;
    std::vector<int16_t> high;
    std::vector<int16_t> rms;
    // Empty when the recording was read; otherwise why not, naming it.
    QString error;

    bool ok() const { return error.isEmpty(); }
    int frames() const { return int(rms.size()); }
    double seconds() const { return frames() * kFrameSeconds; }
    int frameAt(double seconds) const { return int(seconds / kFrameSeconds); }

    // The lowest and highest sample over frames [from, to), clipped to the
    // recording; 0 and 0 for none.
    std::pair<int16_t, int16_t> peaks(int from, int to) const;
};

// Decodes the recording and summarises it. Blocks: call it off the GUI thread.
WaveSummary summariseRecording(const QString& recording);

// The summary kept in `cacheFolder` for the recording as it is now, or, when
// there is none (or it is stale or damaged), a new one, kept there for the
// next time. A cache that cannot be written is no error.
WaveSummary cachedWaveSummary(const QString& recording, const QString& cacheFolder);
