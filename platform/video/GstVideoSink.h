#pragma once

#include <gst/gst.h>

#include <memory>

class VideoFrames;

// A GStreamer sink that takes a decoder's frames as they come, converts them
// to 32-bit RGB at most 1280×720 (scaled down in the same pass, proportions
// kept) and hands every frame, on the pipeline's clock, to `frames`: the
// prerolled frame after a seek as well as each frame while playing. Returns a
// floating reference, nullptr when the app or converter plugin is missing.
GstElement* makeVideoFrameSink(std::shared_ptr<VideoFrames> frames);
