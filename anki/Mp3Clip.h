#pragma once

// A clip's samples encoded as an MP3 file: mono, constant 64 kbit/s, its first
// frame the LAME/Xing header that carries the frame count and the encoder's
// delay and padding, so players find its exact length.

#include <QByteArray>
#include <QString>

#include <cstddef>

struct Mp3Clip {
    QByteArray bytes;
    QString error;  // empty when encoded
};

Mp3Clip encodeMp3Clip(const float* samples, std::size_t count, int rate);
