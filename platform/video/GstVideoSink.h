#pragma once

#include <gst/gst.h>

#include <memory>

class VideoFrames;

// A GStreamer sink that hands every frame, on the pipeline's clock, to
// `frames` as a 32-bit RGB picture: the prerolled frame after a seek as well
// as each frame while playing. Returns a floating reference, nullptr when the
// app plugin is missing.
GstElement* makeVideoFrameSink(std::shared_ptr<VideoFrames> frames);
