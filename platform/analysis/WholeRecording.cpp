#include "platform/analysis/WholeRecording.h"

#include "platform/audio/GstUtil.h"

#include <QFile>

#include <gst/app/gstappsink.h>

namespace {

constexpr GstClockTime kPollInterval = 50 * GST_MSECOND;
// Generous: a recording decodes far faster than it plays.
constexpr GstClockTime kStallLimit = 10 * GST_SECOND;

// The file, decoded and brought to mono float at the rate, into an
// application sink; the location is set on the element, so no file name is
// ever parsed as part of the description.
GstElement* decodingPipeline(const QString& path, int rate, QString* error)
{
    const QString description = QString(
                                    "filesrc name=source ! decodebin ! audioconvert ! audioresample ! "
                                    "audio/x-raw,format=F32LE,layout=interleaved,channels=1,rate=%1 ! "
                                    "appsink name=sink sync=false")
                                    .arg(rate);
    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(description.toUtf8().constData(), &parseError);
    if (parseError) {
        *error = QString::fromUtf8(parseError->message);
        g_error_free(parseError);
        if (pipeline)
            gst_object_unref(pipeline);
        return nullptr;
    }
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    g_object_set(source, "location", QFile::encodeName(path).constData(), nullptr);
    gst_object_unref(source);
    return pipeline;
}

// The pipeline's error, if it posted one.
QString postedError(GstElement* pipeline)
{
    QString why;
    GstBus* bus = gst_element_get_bus(pipeline);
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        why = gstutil::errorText(message);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    return why;
}

void append(GstSample* sample, std::vector<float>& samples)
{
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        const auto* data = reinterpret_cast<const float*>(map.data);
        samples.insert(samples.end(), data, data + map.size / sizeof(float));
        gst_buffer_unmap(buffer, &map);
    }
}

// Pulls until the end of the file; a file that fails to decode posts an
// error, which ends the wait at once. Returns why it stopped short, if it did.
QString pullAll(GstElement* pipeline, GstAppSink* sink, std::vector<float>& samples)
{
    GstClockTime waited = 0;
    for (;;) {
        if (GstSample* sample = gst_app_sink_try_pull_sample(sink, kPollInterval)) {
            append(sample, samples);
            gst_sample_unref(sample);
            waited = 0;
            continue;
        }
        if (gst_app_sink_is_eos(sink))
            return {};
        const QString why = postedError(pipeline);
        if (!why.isEmpty())
            return why;
        if ((waited += kPollInterval) >= kStallLimit)
            return QStringLiteral("解码停止了");
    }
}

}  // namespace

WholeRecording decodeWholeRecording(const QString& path, int rate)
{
    gstutil::ensureInitialised();
    WholeRecording result;
    result.rate = rate;
    QString why;
    GstElement* pipeline = decodingPipeline(path, rate, &why);
    if (!pipeline) {
        result.error = QStringLiteral("无法读取“%1”：%2").arg(path, why);
        return result;
    }
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    why = gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
              ? postedError(pipeline)
              : pullAll(pipeline, GST_APP_SINK(sink), result.samples);
    if (!why.isEmpty() || !gst_app_sink_is_eos(GST_APP_SINK(sink)))
        result.error = QStringLiteral("无法读取“%1”：%2").arg(path, why.isEmpty() ? QStringLiteral("无法打开") : why);
    gst_object_unref(sink);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return result;
}
