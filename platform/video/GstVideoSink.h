#pragma once

#include <gst/gst.h>

#include <memory>

class VideoFrames;

// A GStreamer sink that takes a decoder's frames as they come, converts them
// to 32-bit RGB no larger than the views on show paint them (frames'
// viewSize()) and at most 1280×720, scaled down in the same pass with their
// proportions kept and never enlarged, and hands every frame, on the
// pipeline's clock, to `frames`: the prerolled frame after a seek as well as
// each frame while playing. A change of the views' size takes effect from the
// next frame on. Returns a floating reference, nullptr when the app or
// converter plugin is missing.
GstElement* makeVideoFrameSink(std::shared_ptr<VideoFrames> frames);
