#include "Mp3Probe.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

namespace course {

namespace {

constexpr GstClockTime kProbeTimeout = 10 * GST_SECOND;

void readAudioStream(GstDiscovererInfo* info, Mp3Facts& facts) {
    GList* streams = gst_discoverer_info_get_audio_streams(info);
    if (streams) {
        auto* audio = GST_DISCOVERER_AUDIO_INFO(streams->data);
        facts.sampleRate = gst_discoverer_audio_info_get_sample_rate(audio);
        facts.channels = gst_discoverer_audio_info_get_channels(audio);
    }
    gst_discoverer_stream_info_list_free(streams);
}

}  // namespace

Mp3Facts probeMp3(const std::filesystem::path& file) {
    gst_init(nullptr, nullptr);
    Mp3Facts facts;
    GError* error = nullptr;
    GstDiscoverer* discoverer = gst_discoverer_new(kProbeTimeout, &error);
    if (!discoverer) {
        facts.error = error ? error->message : "no discoverer";
        g_clear_error(&error);
        return facts;
    }
    gchar* uri = gst_filename_to_uri(file.c_str(), &error);
    GstDiscovererInfo* info = uri ? gst_discoverer_discover_uri(discoverer, uri, &error) : nullptr;
    if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
        facts.readable = true;
        facts.durationSeconds =
            static_cast<double>(gst_discoverer_info_get_duration(info)) / GST_SECOND;
        readAudioStream(info, facts);
    } else {
        facts.error = error ? error->message : "the decoder could not read it";
    }
    g_clear_error(&error);
    if (info) g_object_unref(info);
    g_free(uri);
    g_object_unref(discoverer);
    return facts;
}

}  // namespace course
