#include "platform/audio/GstWavePipelines.h"

#include "platform/gst/GstUtil.h"

#include <QFile>

#include <initializer_list>

namespace {

// Adds and links the elements in order; on any failure everything made so far
// is released and an empty pipeline is returned.
WavePipeline assemble(const char* name, std::initializer_list<GstElement*> chain, GstElement* endpoint, QString* error)
{
    bool complete = true;
    for (GstElement* element : chain)
        complete = complete && element;
    if (!complete) {
        for (GstElement* element : chain)
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        return {};
    }
    GstElement* pipeline = gst_pipeline_new(name);
    gst_object_ref_sink(pipeline);
    GstElement* previous = nullptr;
    for (GstElement* element : chain) {
        gst_bin_add(GST_BIN(pipeline), element);
        if (previous && !gst_element_link(previous, element)) {
            *error = QStringLiteral("无法连接音频组件 %1 与 %2")
                         .arg(QString::fromUtf8(GST_ELEMENT_NAME(previous)), QString::fromUtf8(GST_ELEMENT_NAME(element)));
            gst_object_unref(pipeline);
            return {};
        }
        previous = element;
    }
    return {pipeline, endpoint};
}

}  // namespace

WavePipeline makeWavePlayback(const QString& path, const QString& sinkDescription, QString* error)
{
    GstElement* source = gstutil::makeElement("filesrc", error);
    if (source)
        g_object_set(source, "location", QFile::encodeName(path).constData(), nullptr);
    GstElement* sink = gstutil::elementFromDescription(sinkDescription, error);
    return assemble("wave-playback",
        {source, gstutil::makeElement("wavparse", error), gstutil::makeElement("audioconvert", error),
            gstutil::makeElement("audioresample", error), sink},
        sink, error);
}

WavePipeline makeWaveRecording(
    const QString& sourceDescription, const WavFormat& format, const QString& path, QString* error)
{
    GstElement* source = gstutil::elementFromDescription(sourceDescription, error);
    GstElement* capsFilter = gstutil::makeElement("capsfilter", error);
    if (capsFilter) {
        GstCaps* caps = gst_caps_from_string(format.capsDescription().toUtf8().constData());
        g_object_set(capsFilter, "caps", caps, nullptr);
        gst_caps_unref(caps);
    }
    GstElement* fileSink = gstutil::makeElement("filesink", error);
    if (fileSink)
        g_object_set(fileSink, "location", QFile::encodeName(path).constData(), nullptr);
    return assemble("wave-recording",
        {source, gstutil::makeElement("audioconvert", error), gstutil::makeElement("audioresample", error),
            capsFilter, gstutil::makeElement("wavenc", error), fileSink},
        source, error);
}
