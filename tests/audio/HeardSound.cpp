#include "HeardSound.h"

#include "platform/audio/MediaPlayer.h"
#include "platform/gst/GstUtil.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSignalSpy>
#include <QStringList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace heard {

namespace {

int samplesPerSecond = 44100;

// How far from the range's start the first sample heard is looked for.
constexpr double kSearchSeconds = 0.3;
// Samples compared to place the first ones heard in the recording.
constexpr int kMatchSamples = 2048;
// A stretch found in the recording differs from what came out by dither at
// most; a larger mean difference means it is not there.
constexpr double kMatchTolerance = 8.0;
// The range's end, found from its start, is known to about a sample: what
// sounds a millisecond after it counts as heard after the end.
int endTolerance() { return samplesPerSecond / 1000; }

gboolean quitOnEnd(GstBus*, GstMessage* message, gpointer loop)
{
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_EOS || GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return TRUE;
}

void collect(GstElement*, GstBuffer* buffer, GstPad*, gpointer into)
{
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    auto* samples = static_cast<std::vector<std::int16_t>*>(into);
    const auto* data = reinterpret_cast<const std::int16_t*>(map.data);
    samples->insert(samples->end(), data, data + map.size / sizeof(std::int16_t));
    gst_buffer_unmap(buffer, &map);
}

// A pipeline from `source` (a description holding the rate's %d) into a
// fake sink that hands each buffer to `onBuffer`, its source element "in"
// given `property`; null with the reason in *error.
GstElement* handingOver(const char* source, const char* property, const std::string& value, GCallback onBuffer,
                        gpointer data, std::string* error)
{
    gstutil::ensureInitialised();
    gchar* head = g_strdup_printf(source, samplesPerSecond);
    gchar* description = g_strconcat(head, " ! fakesink name=out signal-handoffs=true sync=false", nullptr);
    GError* parseError = nullptr;
    GstElement* pipeline = gst_parse_launch(description, &parseError);
    g_free(head);
    g_free(description);
    if (!pipeline) {
        *error = parseError ? parseError->message : "cannot make the pipeline";
        g_clear_error(&parseError);
        return nullptr;
    }
    GstElement* in = gst_bin_get_by_name(GST_BIN(pipeline), "in");
    g_object_set(in, property, value.c_str(), nullptr);
    gst_object_unref(in);
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", onBuffer, data);
    gst_object_unref(out);
    return pipeline;
}

std::int64_t firstSoundFrom(const std::vector<std::int16_t>& samples, std::int64_t from)
{
    for (std::int64_t i = std::max<std::int64_t>(0, from); i < std::int64_t(samples.size()); ++i)
        if (samples[i] != 0)
            return i;
    return -1;
}

// Where in the recording the captured samples from `at` on lie, looked for
// within `around` seconds of `start`; -1 when they are not there.
std::int64_t placeInRecording(const std::vector<std::int16_t>& heard, std::int64_t at,
                              const std::vector<std::int16_t>& recording, double start, double around)
{
    const std::int64_t count = std::min<std::int64_t>(kMatchSamples, std::int64_t(heard.size()) - at);
    if (count < kMatchSamples / 4)
        return -1;
    const std::int64_t centre = std::llround(start * samplesPerSecond);
    const std::int64_t reach = std::llround(around * samplesPerSecond);
    const std::int64_t from = std::max<std::int64_t>(0, centre - reach);
    const std::int64_t to = std::min<std::int64_t>(std::int64_t(recording.size()) - count, centre + reach);
    std::int64_t best = -1;
    double bestDifference = std::numeric_limits<double>::max();
    for (std::int64_t k = from; k <= to; ++k) {
        double difference = 0;
        for (std::int64_t i = 0; i < count && difference < bestDifference; ++i)
            difference += std::abs(int(heard[at + i]) - int(recording[k + i]));
        if (difference < bestDifference) {
            bestDifference = difference;
            best = k;
        }
    }
    return bestDifference / double(count) <= kMatchTolerance ? best : -1;
}

// Where the first sample heard lies in the recording. A decoder that starts
// in the middle of a compressed stream (AAC) gives its first samples a little
// differently from one that decoded up to them; the place of those that
// follow tells where they lie.
std::int64_t placeFirstSample(const std::vector<std::int16_t>& heard, std::int64_t first,
                              const std::vector<std::int16_t>& recording, double start)
{
    const int step = samplesPerSecond / 200;
    for (std::int64_t skip = 0; skip <= 10 * step; skip += step) {
        const std::int64_t at = placeInRecording(heard, first + skip, recording, start, kSearchSeconds);
        if (at >= 0)
            return at - skip;
    }
    return -1;
}

const char* const kSpokenText =
    "The weather was fine on Monday. We walked to the station together. "
    "She bought two tickets for the morning train. Then we waited on the platform.";

bool run(const QString& program, const QStringList& arguments, std::string* error)
{
    QProcess process;
    process.start(program, arguments);
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        return true;
    *error = (program + " failed: " + process.readAllStandardError()).toStdString();
    return false;
}

}  // namespace

bool makeRecordings(const std::string& to, std::string* error)
{
    const QString folder = QString::fromStdString(to);
    const QString rate = QString::number(samplesPerSecond);
    const QString speech = folder + "/speech.wav", resampled = folder + "/speech-resampled.wav";
    const QString noise = folder + "/noise.wav", mixed = folder + "/mixed.wav";
    return run("espeak-ng", {"-w", speech, "-s", "150", kSpokenText}, error) &&
           run("sox", {speech, "-r", rate, resampled}, error) &&
           run("sox", {"-n", "-r", rate, "-c", "1", "-b", "16", noise, "synth", "12", "whitenoise", "vol", "0.004"},
               error) &&
           run("sox", {"-m", resampled, noise, mixed, "trim", "0", "12"}, error) &&
           run("lame", {"--quiet", "-b", "128", mixed, folder + "/lesson.mp3"}, error) &&
           run("gst-launch-1.0",
               {"-q", "videotestsrc", "num-buffers=300", "pattern=ball", "!",
                "video/x-raw,width=640,height=360,framerate=25/1", "!", "x264enc", "speed-preset=ultrafast",
                "key-int-max=100", "!", "h264parse", "!", "mp4mux", "name=mux", "!", "filesink",
                "location=" + folder + "/lesson.mp4", "filesrc", "location=" + mixed, "!", "wavparse", "!",
                "audioconvert", "!", "avenc_aac", "bitrate=192000", "!", "aacparse", "!", "mux."},
               error);
}

void setRate(int rate) { samplesPerSecond = rate; }

int rate() { return samplesPerSecond; }

std::int64_t nowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::vector<std::int16_t> decodeMono(const std::string& path, std::string* error)
{
    std::vector<std::int16_t> samples;
    GstElement* pipeline = handingOver(
        "filesrc name=in ! decodebin ! audioconvert ! audioresample ! audio/x-raw,format=S16LE,channels=1,rate=%d",
        "location", path, G_CALLBACK(&collect), &samples, error);
    if (!pipeline)
        return samples;
    GMainContext* context = g_main_context_new();
    g_main_context_push_thread_default(context);
    GMainLoop* loop = g_main_loop_new(context, FALSE);
    GstBus* bus = gst_element_get_bus(pipeline);
    GSource* watch = gst_bus_create_watch(bus);
    g_source_set_callback(watch, reinterpret_cast<GSourceFunc>(reinterpret_cast<void (*)()>(&quitOnEnd)), loop, nullptr);
    g_source_attach(watch, context);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    g_main_loop_run(loop);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    g_source_destroy(watch);
    g_source_unref(watch);
    gst_object_unref(bus);
    g_main_loop_unref(loop);
    g_main_context_pop_thread_default(context);
    g_main_context_unref(context);
    gst_object_unref(pipeline);
    if (samples.empty())
        *error = "no samples decoded from " + path;
    return samples;
}

MonitorCapture::MonitorCapture(std::string monitor) : monitor_(std::move(monitor)) {}

MonitorCapture::~MonitorCapture() { stop(); }

bool MonitorCapture::start(std::string* error)
{
    // The server's own format, so nothing converts (or dithers) what came
    // out; small capture buffers, so a sample arrives within milliseconds.
    pipeline_ = handingOver(
        "pulsesrc name=in buffer-time=20000 latency-time=5000 ! audio/x-raw,format=S16LE,channels=2,rate=%d",
        "device", monitor_, G_CALLBACK(&MonitorCapture::onBuffer), this, error);
    if (!pipeline_)
        return false;
    gst_element_set_state(pipeline_, GST_STATE_PLAYING);
    for (int waited = 0; waited < 5000; waited += 5) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!samples_.empty())
                return true;
        }
        g_usleep(5000);
    }
    *error = "the monitor " + monitor_ + " gave no samples";
    return false;
}

void MonitorCapture::stop()
{
    if (!pipeline_)
        return;
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    gst_object_unref(pipeline_);
    pipeline_ = nullptr;
}

void MonitorCapture::onBuffer(GstElement*, GstBuffer* buffer, GstPad*, gpointer self)
{
    auto* capture = static_cast<MonitorCapture*>(self);
    const std::int64_t arrived = nowNs();
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* frames = reinterpret_cast<const std::int16_t*>(map.data);
    const std::size_t count = map.size / (2 * sizeof(std::int16_t));
    std::lock_guard<std::mutex> lock(capture->mutex_);
    // The left channel: a mono recording plays the same on both.
    for (std::size_t i = 0; i < count; ++i)
        capture->samples_.push_back(frames[2 * i]);
    capture->arrivals_.emplace_back(std::int64_t(capture->samples_.size()), arrived);
    gst_buffer_unmap(buffer, &map);
}

std::int64_t MonitorCapture::timeOf(std::int64_t sample) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    // A buffer arrives when its last sample was captured.
    const auto after = std::lower_bound(arrivals_.begin(), arrivals_.end(), std::make_pair(sample + 1, std::int64_t(0)));
    const auto& [count, at] = after == arrivals_.end() ? arrivals_.back() : *after;
    return at - (count - 1 - sample) * 1000000000LL / samplesPerSecond;
}

std::int64_t MonitorCapture::sampleAt(std::int64_t ns) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const auto after = std::find_if(arrivals_.begin(), arrivals_.end(), [&](const auto& a) { return a.second >= ns; });
    const auto& [count, at] = after == arrivals_.end() ? arrivals_.back() : *after;
    return std::max<std::int64_t>(0, count - 1 - (at - ns) * samplesPerSecond / 1000000000LL);
}

std::vector<std::int16_t> MonitorCapture::samples() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return samples_;
}

Press hear(const MonitorCapture& capture, std::int64_t pressNs, const std::vector<std::int16_t>& recording,
           double start, double end, double rate)
{
    Press press;
    const std::vector<std::int16_t> samples = capture.samples();
    const std::int64_t first = firstSoundFrom(samples, capture.sampleAt(pressNs));
    if (first < 0)
        return press;
    press.silent = false;
    press.latencyMs = double(capture.timeOf(first) - pressNs) / 1e6;
    std::int64_t rangeEnd = first + std::llround((end - start) * samplesPerSecond / rate);
    if (rate == 1.0) {
        const std::int64_t at = placeFirstSample(samples, first, recording, start);
        if (at >= 0) {
            press.firstSampleOffsetMs = (double(at) / samplesPerSecond - start) * 1000;
            rangeEnd = first + std::llround(end * samplesPerSecond) - at;
        } else {
            const std::int64_t anywhere = placeInRecording(samples, first, recording, 0, 1e6);
            if (anywhere >= 0)
                press.heardFromSeconds = double(anywhere) / samplesPerSecond;
        }
    }
    const std::int64_t next = firstSoundFrom(samples, rangeEnd + endTolerance());
    if (next >= 0) {
        press.pauseAfterMs = double(next - rangeEnd) * 1000 / samplesPerSecond;
        const auto after = std::count_if(samples.begin() + next, samples.end(), [](std::int16_t s) { return s != 0; });
        press.heardAfterEndMs = double(after) * 1000 / samplesPerSecond;
    }
    return press;
}

void wait(int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void playRange(MediaPlayer& player, double start, double end)
{
    player.setSelectionStart(start);
    player.setSelectionEnd(end);
    player.setCurrentPosition(start);
    player.play();
}

Press playAndHear(MediaPlayer& player, const std::vector<std::int16_t>& recording, double start, double end,
                  const std::function<void()>& atEnd, int listenMs)
{
    MonitorCapture capture("null.monitor");
    std::string error;
    if (!capture.start(&error))
        return {};
    // What the monitor gave before the press is silence to compare with.
    wait(150);
    QSignalSpy ended(&player, &MediaPlayer::endOfStream);
    const std::int64_t pressed = nowNs();
    player.stop();
    playRange(player, start, end);
    if (!ended.wait(int((end - start) / player.rate() * 1000) + 10000))
        return {};
    if (atEnd)
        atEnd();
    wait(listenMs);
    capture.stop();
    return hear(capture, pressed, recording, start, end, player.rate());
}

}  // namespace heard
