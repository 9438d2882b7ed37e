#pragma once

// Any sound file GStreamer decodes (WAV, OGG/Opus, M4A, FLAC, a video's
// sound track) written as an MP3 by the program's encoder, tag in place, so
// that it plays from its first sample at 0.000 s with its exact length.

#include <QString>

#include <atomic>

// Encodes `source` to `target`: mono or stereo as the source (more channels
// are mixed to two), at the source's rate when MPEG audio has it, else the
// nearest one it has. Returns why it could not, empty when done; "已取消"
// once `cancel` is set. Gives up after `timeLimitSeconds`, whatever the file
// does. A target not finished is removed. `encodedSeconds`, when given,
// hears how long the sound is (as the MP3 plays).
QString encodeMp3(const QString& source, const QString& target, double timeLimitSeconds,
                  const std::atomic_bool* cancel = nullptr, double* encodedSeconds = nullptr);
