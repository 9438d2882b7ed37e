#include "platform/video/GstVideoSink.h"

#include "platform/video/VideoFrames.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

namespace {

constexpr int kMaxWidth = 1280, kMaxHeight = 720;

// Copies the sample's frame out of GStreamer's buffer, which goes back to the
// decoder's pool as soon as this returns.
void handOver(GstSample* sample, VideoFrames& frames)
{
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)))
        return;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &info, buffer, GST_MAP_READ))
        return;
    const QImage view(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)), GST_VIDEO_INFO_WIDTH(&info),
                      GST_VIDEO_INFO_HEIGHT(&info), GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32);
    QImage copy = view.copy();
    gst_video_frame_unmap(&frame);

    // The frame's time in the video: its position in the segment the seek
    // made, which for a file played from a seek is the file's own time.
    double seconds = -1;
    const GstSegment* segment = gst_sample_get_segment(sample);
    if (GST_BUFFER_PTS_IS_VALID(buffer) && segment) {
        const guint64 streamTime = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer));
        if (streamTime != GST_CLOCK_TIME_NONE)
            seconds = double(streamTime) / GST_SECOND;
    }
    frames.show(copy, seconds);
}

// What the sink's callbacks share: where the frames go and the size the
// sink last asked its converter for.
struct SinkState {
    std::shared_ptr<VideoFrames> frames;
    GstElement* appsink;
    QSize asked;
};

GstFlowReturn onSample(GstAppSink* sink, gpointer data)
{
    if (GstSample* sample = gst_app_sink_pull_sample(sink)) {
        handOver(sample, *static_cast<SinkState*>(data)->frames);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

GstFlowReturn onPreroll(GstAppSink* sink, gpointer data)
{
    if (GstSample* sample = gst_app_sink_pull_preroll(sink)) {
        handOver(sample, *static_cast<SinkState*>(data)->frames);
        gst_sample_unref(sample);
    }
    return GST_FLOW_OK;
}

void release(gpointer data)
{
    delete static_cast<SinkState*>(data);
}

// At most `box` (the largest view's size, 1280×720 at most, the whole
// 1280×720 without a view): the converter fits the picture into that box with
// its proportions kept and never enlarges it.
GstCaps* framesWithin(QSize box)
{
    box = box.isEmpty() ? QSize(kMaxWidth, kMaxHeight) : box.boundedTo(QSize(kMaxWidth, kMaxHeight));
    // BGRx in memory is what QImage's RGB32 holds on a little-endian machine.
    return gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", GST_TYPE_INT_RANGE, 1,
                               box.width(), "height", GST_TYPE_INT_RANGE, 1, box.height(), "pixel-aspect-ratio",
                               GST_TYPE_FRACTION, 1, 1, nullptr);
}

// Before the converter takes a frame: when the views' size changed since the
// last frame, the sink asks for the new size and the converter renegotiates
// before it converts this frame, so a range's first frame after a resize
// already has the view's size.
GstPadProbeReturn onFrameIn(GstPad* pad, GstPadProbeInfo*, gpointer data)
{
    auto* state = static_cast<SinkState*>(data);
    const QSize wanted = state->frames->viewSize();
    if (wanted == state->asked)
        return GST_PAD_PROBE_OK;
    state->asked = wanted;
    GstCaps* caps = framesWithin(wanted);
    g_object_set(state->appsink, "caps", caps, nullptr);
    gst_caps_unref(caps);
    GstElement* convert = gst_pad_get_parent_element(pad);
    if (convert) {
        GstPad* output = gst_element_get_static_pad(convert, "src");
        gst_pad_mark_reconfigure(output);
        gst_object_unref(output);
        gst_object_unref(convert);
    }
    return GST_PAD_PROBE_OK;
}

GstElement* makeFrameAppSink(SinkState* state)
{
    GstElement* sink = gst_element_factory_make("appsink", "videoframes");
    if (!sink) {
        delete state;
        return nullptr;
    }
    state->appsink = sink;
    GstCaps* caps = framesWithin(state->asked);
    // sync: each frame is handed over when the clock reaches it, so the
    // picture keeps time with the sound; one buffer at most waits, and none
    // is dropped, so a frame is never skipped at a range's start.
    g_object_set(sink, "caps", caps, "sync", TRUE, "max-buffers", 1u, "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = onSample;
    callbacks.new_preroll = onPreroll;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, state, release);
    return sink;
}

}  // namespace

GstElement* makeVideoFrameSink(std::shared_ptr<VideoFrames> frames)
{
    // A picture larger than the pane is ever shown is scaled down on the way,
    // proportions kept, in the same pass that turns the decoder's YUV into
    // RGB: converting a 1080p frame first and scaling it after costs twice
    // the time and holds 8 MB frames, at 25 a second while a range plays and
    // once more on the way to every range's first frame.
    GstElement* convert = gst_element_factory_make("videoconvertscale", nullptr);
    auto* state = new SinkState{std::move(frames), nullptr, QSize()};
    state->asked = state->frames->viewSize();
    GstElement* sink = makeFrameAppSink(state);
    if (!convert || !sink) {
        if (convert)
            gst_object_unref(gst_object_ref_sink(convert));
        if (sink)
            gst_object_unref(gst_object_ref_sink(sink));
        return nullptr;
    }
    GstElement* bin = gst_bin_new("videoframesink");
    gst_bin_add_many(GST_BIN(bin), convert, sink, nullptr);
    gst_element_link(convert, sink);
    GstPad* input = gst_element_get_static_pad(convert, "sink");
    // The state lives as long as the app sink's callbacks, which the bin
    // holds as long as the converter.
    gst_pad_add_probe(input, GST_PAD_PROBE_TYPE_BUFFER, onFrameIn, state, nullptr);
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", input));
    gst_object_unref(input);
    return bin;
}
