#pragma once

#include <QString>

#include <optional>

// Length of an MPEG audio file in seconds, found by parsing every frame
// without decoding. Used when the player cannot tell the length of an MP3
// that lacks a LAME/Xing header before it has played it.
std::optional<double> scanMpegAudioDuration(const QString& path);
