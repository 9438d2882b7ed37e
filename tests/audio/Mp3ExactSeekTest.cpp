// An exact seek into an MP3 hands on the samples that decoding the whole
// file gives at that place, from the one asked for: the decoder GStreamer
// chooses for the program's MP3s (as the course and an import write them)
// must not give the samples of the frame before the start instead.

#include "platform/gst/GstUtil.h"

#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace {

constexpr int kRate = 44100;

struct Decoded {
    std::int64_t firstSample = -1;  // where the first buffer says it lies
    std::vector<std::int16_t> samples;
};

void collect(GstElement*, GstBuffer* buffer, GstPad*, gpointer data)
{
    auto* decoded = static_cast<Decoded*>(data);
    if (decoded->firstSample < 0 && GST_BUFFER_PTS_IS_VALID(buffer))
        decoded->firstSample = gst_util_uint64_scale_round(GST_BUFFER_PTS(buffer), kRate, GST_SECOND);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ))
        return;
    const auto* at = reinterpret_cast<const std::int16_t*>(map.data);
    decoded->samples.insert(decoded->samples.end(), at, at + map.size / sizeof(std::int16_t));
    gst_buffer_unmap(buffer, &map);
}

// The file decoded as the player's pipeline decodes it, whole or from an
// exact seek to [start, end).
Decoded decode(const QString& file, double start = -1, double end = -1)
{
    gstutil::ensureInitialised();
    Decoded decoded;
    const QByteArray description = "filesrc location=\"" + file.toUtf8() +
                                   "\" ! decodebin ! audioconvert ! audio/x-raw,format=S16LE,channels=1 ! "
                                   "fakesink name=out sync=false signal-handoffs=true";
    GstElement* pipeline = gst_parse_launch(description.constData(), nullptr);
    if (!pipeline)
        return decoded;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    g_signal_connect(out, "handoff", G_CALLBACK(collect), &decoded);
    gst_object_unref(out);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
    if (start >= 0) {
        gst_element_seek(pipeline, 1.0, GST_FORMAT_TIME, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                         GST_SEEK_TYPE_SET, gstutil::toClockTime(start), GST_SEEK_TYPE_SET, gstutil::toClockTime(end));
        gst_element_get_state(pipeline, nullptr, nullptr, 10 * GST_SECOND);
        decoded = {};
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    if (GstMessage* done = gst_bus_timed_pop_filtered(bus, 20 * GST_SECOND,
                                                       GstMessageType(GST_MESSAGE_EOS | GST_MESSAGE_ERROR)))
        gst_message_unref(done);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return decoded;
}

bool run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

struct Encoding {
    const char* name;
    QStringList lameOptions;
};

void PrintTo(const Encoding& encoding, std::ostream* out) { *out << encoding.name; }

class Mp3ExactSeek : public ::testing::TestWithParam<Encoding> {};

TEST_P(Mp3ExactSeek, HandsOnTheWholeDecodingsSamplesFromTheStart)
{
    QTemporaryDir folder;
    const QString speech = folder.filePath("speech.wav"), mp3 = folder.filePath("lesson.mp3");
    ASSERT_TRUE(run("espeak-ng", {"-w", speech, "-s", "150", "The weather was fine on Monday, so we walked."}));
    ASSERT_TRUE(run("lame", QStringList{"--quiet"} << GetParam().lameOptions << speech << mp3));
    const Decoded whole = decode(mp3);
    ASSERT_GT(whole.samples.size(), size_t(3 * kRate));
    // Starts inside the speech, at different places in their frames.
    for (const double start : {0.81, 1.373, 2.0267}) {
        SCOPED_TRACE(start);
        const Decoded range = decode(mp3, start, start + 0.3);
        ASSERT_EQ(range.firstSample, std::llround(start * kRate));
        ASSERT_GE(range.samples.size(), size_t(0.25 * kRate));
        int differing = 0;
        for (size_t k = 0; k < size_t(0.25 * kRate); ++k)
            differing += std::abs(range.samples[k] - whole.samples[size_t(range.firstSample) + k]) > 1;
        EXPECT_EQ(differing, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, Mp3ExactSeek,
    ::testing::Values(Encoding{"Course", {"--cbr", "-b", "56", "-m", "m", "--resample", "44.1"}},
                      Encoding{"Stereo128", {"-b", "128", "-m", "s", "--resample", "44.1"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
