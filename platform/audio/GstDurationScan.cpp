#include "platform/audio/GstDurationScan.h"

#include "platform/gst/GstUtil.h"

#include <QFile>

namespace {

constexpr GstClockTime kScanTimeout = 5 * GST_SECOND;

}  // namespace

std::optional<double> scanMpegAudioDuration(const QString& path)
{
    gstutil::ensureInitialised();
    GstElement* pipeline = gst_pipeline_new("duration-scan");
    GstElement* source = gst_element_factory_make("filesrc", nullptr);
    GstElement* parser = gst_element_factory_make("mpegaudioparse", nullptr);
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (!source || !parser || !sink) {
        for (GstElement* element : {source, parser, sink})
            if (element)
                gst_object_unref(element);
        gst_object_unref(pipeline);
        return std::nullopt;
    }
    g_object_set(source, "location", QFile::encodeName(path).constData(), nullptr);
    // Without clock sync the parser runs through the file as fast as it reads.
    g_object_set(sink, "sync", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline), source, parser, sink, nullptr);
    std::optional<double> seconds;
    if (gst_element_link_many(source, parser, sink, nullptr)
        && gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* end = gst_bus_timed_pop_filtered(
            bus, kScanTimeout, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        gint64 position = 0;
        // At end-of-stream the sink's position is the end of the last frame.
        if (end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS
            && gst_element_query_position(pipeline, GST_FORMAT_TIME, &position) && position > 0)
            seconds = gstutil::toSeconds(position);
        if (end)
            gst_message_unref(end);
        gst_object_unref(bus);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return seconds;
}
