#include "platform/gst/GstUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gstutil {

namespace {

// MP3s go to mpg123's decoder rather than libav's, which GStreamer ranks
// alike and picks first by name. After an exact seek, mpg123's hands on the
// same samples a decoding from the file's start gives, from the one asked
// for; libav's gave the samples of up to one frame (26 ms) before it on the
// course's recordings. And a lesson that is only sound then loads none of
// libav's libraries (its decoders link some eighty, from video codecs to
// speech voices).
void preferMpg123ForMp3()
{
    GstRegistry* registry = gst_registry_get();
    GstPluginFeature* mpg123 = gst_registry_lookup_feature(registry, "mpg123audiodec");
    if (!mpg123)
        return;
    // A rank of none says the machine's set-up wants it left out.
    guint rank = gst_plugin_feature_get_rank(mpg123);
    if (rank == GST_RANK_NONE) {
        gst_object_unref(mpg123);
        return;
    }
    if (GstPluginFeature* libav = gst_registry_lookup_feature(registry, "avdec_mp3")) {
        rank = std::max(rank, gst_plugin_feature_get_rank(libav) + 1);
        gst_object_unref(libav);
    }
    gst_plugin_feature_set_rank(mpg123, rank);
    gst_object_unref(mpg123);
}

// mpg123's decoder asks for an empty output buffer for the frame that only
// heads a variable-rate MP3 (its frame count and table of contents), and
// GStreamer's check of that size prints a critical on every such file,
// played or imported; the decoding goes on unharmed. That one message is
// dropped, every other one printed as before.
void printUnlessEmptyHeaderFrame(const gchar* domain, GLogLevelFlags level, const gchar* message, gpointer)
{
    if (message && std::strstr(message, "gst_audio_decoder_allocate_output_buffer")
        && std::strstr(message, "'size > 0'"))
        return;
    g_log_default_handler(domain, level, message, nullptr);
}

}  // namespace

void ensureInitialised()
{
    if (gst_is_initialized())
        return;
    gst_init(nullptr, nullptr);
    preferMpg123ForMp3();
    g_log_set_handler("GStreamer-Audio", GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_FLAG_FATAL | G_LOG_FLAG_RECURSION),
                      printUnlessEmptyHeaderFrame, nullptr);
}

GstElement* elementFromDescription(const QString& description, QString* error)
{
    GError* gerror = nullptr;
    // A bin with ghost pads lets a description of several elements stand
    // where one sink or source is expected.
    GstElement* element = gst_parse_bin_from_description(description.toUtf8().constData(), TRUE, &gerror);
    if (gerror) {
        *error = QStringLiteral("无法建立音频组件“%1”：%2")
                     .arg(description, QString::fromUtf8(gerror->message));
        g_error_free(gerror);
        if (element)
            gst_object_unref(element);
        return nullptr;
    }
    return element;
}

GstElement* makeElement(const char* factory, QString* error)
{
    GstElement* element = gst_element_factory_make(factory, nullptr);
    if (!element)
        *error = QStringLiteral("没有安装 GStreamer 组件“%1”").arg(QString::fromUtf8(factory));
    return element;
}

QString errorText(GstMessage* errorOrWarning)
{
    GError* gerror = nullptr;
    gchar* debug = nullptr;
    if (GST_MESSAGE_TYPE(errorOrWarning) == GST_MESSAGE_ERROR)
        gst_message_parse_error(errorOrWarning, &gerror, &debug);
    else
        gst_message_parse_warning(errorOrWarning, &gerror, &debug);
    QString text = gerror ? QString::fromUtf8(gerror->message) : QStringLiteral("未知的 GStreamer 错误");
    if (gerror)
        g_error_free(gerror);
    g_free(debug);
    return text;
}

QString postedError(GstElement* pipeline)
{
    QString why;
    GstBus* bus = gst_element_get_bus(pipeline);
    if (GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        why = errorText(message);
        gst_message_unref(message);
    }
    gst_object_unref(bus);
    return why;
}

GstClockTime toClockTime(double seconds)
{
    if (!(seconds > 0))
        return 0;
    return static_cast<GstClockTime>(std::llround(seconds * GST_SECOND));
}

double toSeconds(gint64 nanoseconds)
{
    return static_cast<double>(nanoseconds) / GST_SECOND;
}

bool comesFrom(GstMessage* message, GstElement* element)
{
    GstObject* source = GST_MESSAGE_SRC(message);
    if (!source || !element)
        return false;
    return source == GST_OBJECT(element) || gst_object_has_as_ancestor(source, GST_OBJECT(element));
}

}  // namespace gstutil
