#pragma once

// The program's one MP3 encoder, on libmp3lame. The stream it makes opens with
// a frame reserved for the LAME tag; finish() gives that tag — frame count,
// encoder delay and padding — to be written over the reserved frame. With it,
// GStreamer plays the first sample at 0.000 s and knows the exact length.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

struct Mp3Settings {
    int rate = 0;             // samples per second, one MPEG audio knows
    int channels = 1;         // 1 or 2
    int constantKbps = 0;     // a constant bit rate; 0 for variable
    int variableQuality = 4;  // LAME's VBR quality, 0 (best) to 9, when variable
};

class Mp3Encoder {
public:
    explicit Mp3Encoder(const Mp3Settings& settings);
    ~Mp3Encoder();
    Mp3Encoder(const Mp3Encoder&) = delete;
    Mp3Encoder& operator=(const Mp3Encoder&) = delete;

    // Empty when the encoder took its settings; otherwise why not.
    QString error() const { return error_; }

    // Encodes `frames` frames of interleaved samples (full scale ±1) and
    // appends the bytes made so far to `out`. False, with error(), on failure.
    bool encode(const float* interleaved, std::size_t frames, QByteArray& out);

    // Encodes what is held back, appends it to `out` and returns the LAME tag
    // to write over the stream's first bytes; empty, with error(), on failure.
    QByteArray finish(QByteArray& out);

    // The rates MPEG audio has, from the lowest.
    static const std::vector<int>& rates();

private:
    struct Lame;
    std::unique_ptr<Lame> lame_;
    int channels_;
    QString error_;
};

// `count` samples (interleaved when stereo) as the bytes of a whole MP3 file,
// its tag in place. The error is empty when encoded.
struct Mp3Bytes {
    QByteArray bytes;
    QString error;
};
Mp3Bytes encodeMp3Samples(const float* samples, std::size_t count, const Mp3Settings& settings);
