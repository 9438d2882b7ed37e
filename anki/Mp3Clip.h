#pragma once

// A clip's samples encoded as an MP3 file by the program's encoder: mono,
// constant 64 kbit/s, its first frame the LAME tag, so players find its
// exact length and start.

#include "platform/analysis/Mp3Encoder.h"

#include <cstddef>

using Mp3Clip = Mp3Bytes;

Mp3Clip encodeMp3Clip(const float* samples, std::size_t count, int rate);
