#pragma once

#include "platform/audio/WavFormat.h"

#include <QString>
#include <gst/gst.h>

// A pipeline and its audio endpoint (the sink that plays, or the source that
// records), kept so that warnings from the endpoint can be recognised.
struct WavePipeline {
    GstElement* pipeline = nullptr;
    GstElement* endpoint = nullptr;
};

// `path` (a wave file) → `sinkDescription`. Owned by the caller (not floating).
WavePipeline makeWavePlayback(const QString& path, const QString& sinkDescription, QString* error);

// `sourceDescription` → raw audio in `format` → a wave file at `path`.
WavePipeline makeWaveRecording(
    const QString& sourceDescription, const WavFormat& format, const QString& path, QString* error);
