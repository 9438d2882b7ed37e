#pragma once

#include <QString>

#include <optional>

// The sample format of a PCM wave file, as its `fmt ` chunk gives it.
struct WavFormat {
    int channels = 1;
    int sampleRate = 16000;
    int bitsPerSample = 16;

    // What a take is recorded in when the template gives no usable format.
    static WavFormat fallback() { return {}; }

    // Raw-audio caps for the recorder, e.g.
    // "audio/x-raw,format=S16LE,layout=interleaved,rate=16000,channels=1".
    QString capsDescription() const;

    bool operator==(const WavFormat& other) const
    {
        return channels == other.channels && sampleRate == other.sampleRate && bitsPerSample == other.bitsPerSample;
    }
};

// Reads the `fmt ` chunk of a RIFF/WAVE file. Only uncompressed PCM with 8 or
// 16 bits per sample, 1 or 2 channels and a rate of 8000..192000 Hz is
// accepted; anything else (a missing file, another container, a codec) gives
// nothing.
std::optional<WavFormat> readWavFormat(const QString& path);
