#pragma once

// Any sound file GStreamer decodes (WAV, OGG/Opus, M4A, FLAC, a video's
// sound track) written as an MP3 with a LAME header, so that players know
// its exact length and where its sound starts.

#include <QString>

// Encodes `source` to `target`. Returns why it could not, empty when done.
// Gives up after `timeLimitSeconds`, whatever the file does.
QString encodeMp3(const QString& source, const QString& target, double timeLimitSeconds);
