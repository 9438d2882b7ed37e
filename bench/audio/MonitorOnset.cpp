// Listens to a sound server's monitor and tells when sound first comes out:
// the wall-clock time (nanoseconds since the epoch) of the first sample above
// a threshold. Used by first-press-after-start, which presses a sentence and
// compares. A second form tells how long a recording stays below the same
// threshold after a given time, so the silence a sentence's range begins
// with is not counted against the player.
//
//   bench_monitor_onset listen <monitor source> <threshold> <timeout s>
//       prints "listening" once samples arrive, then "onset <ns>" (or
//       "no sound") and ends
//   bench_monitor_onset lead-in <sound file> <from s> <threshold>
//       prints the seconds from <from s> to the first sample above it

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int kRate = 44100;

struct Listener {
    int threshold = 0;
    bool heard = false;
    bool announced = false;
    // Samples read so far (the lead-in form).
    long long samples = 0;
    long long from = 0;
    long long onsetSample = -1;
    GMainLoop* loop = nullptr;
};

// The index of the first sample louder than the threshold, or -1.
int firstLoud(const gint16* samples, int count, int threshold)
{
    for (int i = 0; i < count; ++i)
        if (std::abs(int(samples[i])) > threshold)
            return i;
    return -1;
}

void onMonitorBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer data)
{
    auto* listener = static_cast<Listener*>(data);
    const auto arrived = std::chrono::system_clock::now();
    if (!listener->announced) {
        listener->announced = true;
        std::printf("listening\n");
        std::fflush(stdout);
    }
    if (listener->heard)
        return;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const int count = int(map.size / sizeof(gint16));
    const int loud = firstLoud(reinterpret_cast<const gint16*>(map.data), count, listener->threshold);
    gst_buffer_unmap(buffer, &map);
    if (loud < 0)
        return;
    listener->heard = true;
    // The buffer arrived when its last sample was captured.
    const auto onset = arrived - std::chrono::nanoseconds(std::int64_t(count - loud) * 1000000000 / kRate);
    std::printf("onset %lld\n",
        static_cast<long long>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(onset.time_since_epoch()).count()));
    std::fflush(stdout);
    g_main_loop_quit(listener->loop);
}

void onFileBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer data)
{
    auto* listener = static_cast<Listener*>(data);
    GstMapInfo map;
    if (listener->onsetSample >= 0 || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* samples = reinterpret_cast<const gint16*>(map.data);
    const int count = int(map.size / sizeof(gint16));
    const int skip = int(std::max<long long>(0, std::min<long long>(count, listener->from - listener->samples)));
    const int loud = firstLoud(samples + skip, count - skip, listener->threshold);
    if (loud >= 0)
        listener->onsetSample = listener->samples + skip + loud;
    listener->samples += count;
    gst_buffer_unmap(buffer, &map);
}

gboolean onBus(GstBus*, GstMessage* message, gpointer data)
{
    auto* listener = static_cast<Listener*>(data);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR || GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS) {
        if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
            GError* error = nullptr;
            gst_message_parse_error(message, &error, nullptr);
            std::fprintf(stderr, "bench_monitor_onset: %s\n", error->message);
            g_error_free(error);
        }
        g_main_loop_quit(listener->loop);
    }
    return TRUE;
}

gboolean onTimeout(gpointer data)
{
    g_main_loop_quit(static_cast<Listener*>(data)->loop);
    return FALSE;
}

// Runs the pipeline until its end, an error, the onset or the timeout.
void run(GstElement* pipeline, Listener& listener, double timeoutSeconds)
{
    listener.loop = g_main_loop_new(nullptr, FALSE);
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_add_watch(bus, &onBus, &listener);
    g_timeout_add(guint(timeoutSeconds * 1000), &onTimeout, &listener);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    g_main_loop_run(listener.loop);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_bus_remove_watch(bus);
    gst_object_unref(bus);
    g_main_loop_unref(listener.loop);
}

const char* const kMono = "audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=44100 ! "
                          "fakesink name=out signal-handoffs=true";

int listen(const char* monitor, int threshold, double timeoutSeconds)
{
    // Small capture buffers, so a sample arrives here within milliseconds of
    // leaving the server.
    gchar* description =
        g_strdup_printf("pulsesrc name=in buffer-time=20000 latency-time=5000 ! %s sync=false", kMono);
    GstElement* pipeline = gst_parse_launch(description, nullptr);
    g_free(description);
    if (!pipeline)
        return 1;
    GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    g_object_set(in, "device", monitor, nullptr);
    gst_object_unref(in);
    Listener listener;
    listener.threshold = threshold;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(&onMonitorBuffer), &listener);
    gst_object_unref(out);
    run(pipeline, listener, timeoutSeconds);
    gst_object_unref(pipeline);
    if (!listener.heard)
        std::printf("no sound\n");
    return listener.heard ? 0 : 1;
}

int leadIn(const char* file, double fromSeconds, int threshold)
{
    gchar* description = g_strdup_printf("filesrc name=in ! decodebin ! %s sync=false", kMono);
    GstElement* pipeline = gst_parse_launch(description, nullptr);
    g_free(description);
    if (!pipeline)
        return 1;
    GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    g_object_set(in, "location", file, nullptr);
    gst_object_unref(in);
    Listener listener;
    listener.threshold = threshold;
    listener.from = static_cast<long long>(fromSeconds * kRate);
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(&onFileBuffer), &listener);
    gst_object_unref(out);
    run(pipeline, listener, 60);
    gst_object_unref(pipeline);
    if (listener.onsetSample < 0)
        return 1;
    std::printf("%.4f\n", double(listener.onsetSample - listener.from) / kRate);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    gst_init(&argc, &argv);
    if (argc == 5 && std::strcmp(argv[1], "listen") == 0)
        return listen(argv[2], std::atoi(argv[3]), std::atof(argv[4]));
    if (argc == 5 && std::strcmp(argv[1], "lead-in") == 0)
        return leadIn(argv[2], std::atof(argv[3]), std::atoi(argv[4]));
    std::fprintf(stderr,
        "usage: bench_monitor_onset listen <monitor source> <threshold> <timeout s>\n"
        "       bench_monitor_onset lead-in <sound file> <from s> <threshold>\n");
    return 2;
}
