#include "platform/analysis/Mp3Encoding.h"

#include "platform/audio/GstUtil.h"

#include <QFile>

#include <gst/gst.h>

QString encodeMp3(const QString& source, const QString& target, double timeLimitSeconds)
{
    gstutil::ensureInitialised();
    GError* parseError = nullptr;
    // Mono or stereo as the source; xingmux writes the header with the
    // frame count and the encoder's delay and padding.
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=source ! decodebin ! audioconvert ! audioresample ! "
        "lamemp3enc target=quality quality=4 ! xingmux ! filesink name=target",
        &parseError);
    if (!pipeline) {
        const QString why = parseError ? QString::fromUtf8(parseError->message) : QString();
        g_clear_error(&parseError);
        return QStringLiteral("无法把录音转成 MP3（缺少 GStreamer 的 lame 组件？）：%1").arg(why);
    }
    g_clear_error(&parseError);
    GstElement* sourceElement = gst_bin_get_by_name(GST_BIN(pipeline), "source");
    GstElement* targetElement = gst_bin_get_by_name(GST_BIN(pipeline), "target");
    g_object_set(sourceElement, "location", QFile::encodeName(source).constData(), nullptr);
    g_object_set(targetElement, "location", QFile::encodeName(target).constData(), nullptr);
    gst_object_unref(sourceElement);
    gst_object_unref(targetElement);

    QString error;
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        error = QStringLiteral("无法读取“%1”").arg(source);
    GstBus* bus = gst_element_get_bus(pipeline);
    if (error.isEmpty()) {
        GstMessage* message = gst_bus_timed_pop_filtered(
            bus, gstutil::toClockTime(timeLimitSeconds), GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (!message)
            error = QStringLiteral("“%1”转换超过 %2 秒，已放弃").arg(source).arg(timeLimitSeconds);
        else if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
            error = QStringLiteral("无法读取“%1”：%2").arg(source, gstutil::errorText(message));
        if (message)
            gst_message_unref(message);
    }
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return error;
}
