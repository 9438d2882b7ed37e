#include "platform/analysis/AudioDecoding.h"

#include "platform/analysis/WholeRecording.h"

#include "platform/gst/GstUtil.h"

#include <QFile>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Generous: a lesson recording opens and prerolls in a few milliseconds, and
// decodes far faster than it plays.
constexpr GstClockTime kStepTimeout = 10 * GST_SECOND;
// How often a wait for samples looks for an error the pipeline posted.
constexpr GstClockTime kPollInterval = 50 * GST_MSECOND;
// Decoded buffers a streamed decoding keeps ready for its reader (about
// 0.07 s each): the decoder runs ahead by some seconds and then waits,
// instead of holding the whole file.
constexpr guint kStreamedBuffers = 256;

// Samples and why there are none (or too few), before they are given a type.
struct Decoded {
    std::vector<float> samples;
    QString error;
};

// The one decoding pipeline: file → decodebin → mono float at the rate → an
// application sink this thread pulls from. The location is set on the
// element, so no file name is ever parsed.
class DecodingPipeline {
public:
    DecodingPipeline(const QString& path, int rate) : path_(path), rate_(rate) {}
    ~DecodingPipeline()
    {
        if (pipeline_) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            gst_object_unref(pipeline_);
        }
    }

    Decoded run(double startSeconds, double endSeconds)
    {
        Decoded result;
        if (!build(&result.error))
            return result;
        const bool ranged = startSeconds > 0 || endSeconds >= 0;
        if (!preroll(&result.error))
            return result;
        if (ranged && !seek(startSeconds, endSeconds, &result.error))
            return result;
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            result.error = failure(QStringLiteral("解码没有开始"));
            return result;
        }
        pull(startSeconds, endSeconds, result);
        return result;
    }

    // The whole file handed over in blocks of `blockSamples` (the last one
    // shorter) while the decoder goes on; empty when read to its end.
    QString stream(size_t blockSamples, const AudioLength& length, const AudioBlock& block)
    {
        QString error;
        if (!build(&error) || !preroll(&error))
            return error;
        g_object_set(sink_, "max-buffers", kStreamedBuffers, nullptr);
        gint64 duration = 0;
        if (length && gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &duration) && duration > 0)
            length(double(duration) / GST_SECOND);
        // From an exact seek to the start, as a range is decoded: the
        // resampler then begins as it does for every range, and the
        // samples are the same as a ranged decoding's (without the seek
        // they lie a fraction of a sample apart).
        if (!seek(0, -1, &error))
            return error;
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            return failure(QStringLiteral("解码没有开始"));
        std::vector<float> pending;
        pending.reserve(blockSamples);
        GstAppSink* sink = GST_APP_SINK(sink_);
        while (GstSample* sample = nextSample(sink)) {
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            bool going = true;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const auto* data = reinterpret_cast<const float*>(map.data);
                size_t left = map.size / sizeof(float);
                while (left > 0 && going) {
                    const size_t taken = std::min(left, blockSamples - pending.size());
                    pending.insert(pending.end(), data, data + taken);
                    data += taken;
                    left -= taken;
                    if (pending.size() == blockSamples) {
                        going = block(pending.data(), pending.size());
                        pending.clear();
                    }
                }
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
            if (!going)
                return QStringLiteral("已停止");
        }
        if (!gst_app_sink_is_eos(sink))
            return failure(QStringLiteral("解码中断"));
        if (!pending.empty() && !block(pending.data(), pending.size()))
            return QStringLiteral("已停止");
        return {};
    }

private:
    bool build(QString* error)
    {
        gstutil::ensureInitialised();
        GstElement* source = gstutil::makeElement("filesrc", error);
        GstElement* decoder = gstutil::makeElement("decodebin", error);
        GstElement* convert = gstutil::makeElement("audioconvert", error);
        GstElement* resample = gstutil::makeElement("audioresample", error);
        GstElement* sink = gstutil::makeElement("appsink", error);
        GstElement* made[] = {source, decoder, convert, resample, sink};
        pipeline_ = gst_pipeline_new("analysis-decoding");
        gst_object_ref_sink(pipeline_);
        for (GstElement* element : made) {
            if (!element) {
                for (GstElement* other : made)
                    if (other)
                        gst_object_unref(gst_object_ref_sink(other));
                return false;
            }
        }
        gst_bin_add_many(GST_BIN(pipeline_), source, decoder, convert, resample, sink, nullptr);
        g_object_set(source, "location", QFile::encodeName(path_).constData(), nullptr);
        GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout", G_TYPE_STRING,
                                            "interleaved", "channels", G_TYPE_INT, 1, "rate", G_TYPE_INT, rate_,
                                            nullptr);
        // No clock: the file is read as fast as it decodes.
        g_object_set(sink, "caps", caps, "sync", FALSE, nullptr);
        gst_caps_unref(caps);
        sink_ = sink;
        convert_ = convert;
        // decodebin makes its audio pad once it knows the stream.
        g_signal_connect(decoder, "pad-added", G_CALLBACK(&DecodingPipeline::onPadAdded), this);
        if (!gst_element_link(source, decoder) || !gst_element_link_many(convert, resample, sink, nullptr)) {
            *error = QStringLiteral("无法连接解码组件");
            return false;
        }
        return true;
    }

    static void onPadAdded(GstElement*, GstPad* pad, gpointer self)
    {
        auto* me = static_cast<DecodingPipeline*>(self);
        GstPad* target = gst_element_get_static_pad(me->convert_, "sink");
        if (!gst_pad_is_linked(target)) {
            GstCaps* caps = gst_pad_get_current_caps(pad);
            if (!caps)
                caps = gst_pad_query_caps(pad, nullptr);
            const GstStructure* s = caps ? gst_caps_get_structure(caps, 0) : nullptr;
            if (s && g_str_has_prefix(gst_structure_get_name(s), "audio/"))
                gst_pad_link(pad, target);
            if (caps)
                gst_caps_unref(caps);
        }
        gst_object_unref(target);
    }

    bool preroll(QString* error)
    {
        if (gst_element_set_state(pipeline_, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE
            || gst_element_get_state(pipeline_, nullptr, nullptr, kStepTimeout) != GST_STATE_CHANGE_SUCCESS) {
            *error = failure(QStringLiteral("无法打开"));
            return false;
        }
        return true;
    }

    bool seek(double startSeconds, double endSeconds, QString* error)
    {
        // Accurate: the decoder clips its output to the range, so the samples
        // begin at the sentence's start rather than at a frame boundary.
        const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
        const bool bounded = endSeconds >= 0;
        if (!gst_element_seek(pipeline_, 1.0, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                              gstutil::toClockTime(startSeconds), bounded ? GST_SEEK_TYPE_SET : GST_SEEK_TYPE_NONE,
                              bounded ? gstutil::toClockTime(endSeconds) : GST_CLOCK_TIME_NONE)
            || gst_element_get_state(pipeline_, nullptr, nullptr, kStepTimeout) != GST_STATE_CHANGE_SUCCESS) {
            *error = failure(QStringLiteral("无法定位到 %1 秒").arg(startSeconds, 0, 'f', 2));
            return false;
        }
        return true;
    }

    void pull(double startSeconds, double endSeconds, Decoded& result)
    {
        const qint64 first = std::llround(std::max(0.0, startSeconds) * rate_);
        const qint64 last = endSeconds >= 0 ? std::llround(endSeconds * rate_) : -1;
        GstAppSink* sink = GST_APP_SINK(sink_);
        qint64 next = first;  // the sample index of a buffer without a time stamp
        while (GstSample* sample = nextSample(sink)) {
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const auto* data = reinterpret_cast<const float*>(map.data);
                const qint64 count = qint64(map.size / sizeof(float));
                const GstClockTime pts = GST_BUFFER_PTS(buffer);
                const qint64 at = GST_CLOCK_TIME_IS_VALID(pts)
                                      ? qint64(gst_util_uint64_scale_round(pts, guint64(rate_), GST_SECOND))
                                      : next;
                // Keep only what lies inside the range, whatever the decoder
                // hands over around its edges.
                for (qint64 i = std::max<qint64>(0, first - at); i < count; ++i) {
                    if (last >= 0 && at + i >= last)
                        break;
                    result.samples.push_back(data[i]);
                }
                next = at + count;
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
        }
        if (!gst_app_sink_is_eos(sink))
            result.error = failure(QStringLiteral("解码中断"));
    }

    // The next decoded piece; none at the end of the stream, after an error
    // the pipeline posted, or when nothing came for kStepTimeout.
    GstSample* nextSample(GstAppSink* sink)
    {
        for (GstClockTime waited = 0; waited < kStepTimeout; waited += kPollInterval) {
            if (GstSample* sample = gst_app_sink_try_pull_sample(sink, kPollInterval))
                return sample;
            if (gst_app_sink_is_eos(sink) || postedError())
                return nullptr;
        }
        return nullptr;
    }

    // Whether the pipeline posted an error; its text is kept for failure().
    bool postedError()
    {
        if (posted_.isEmpty())
            posted_ = gstutil::postedError(pipeline_);
        return !posted_.isEmpty();
    }

    // The pipeline's own error text if it posted one, else `what`.
    QString failure(const QString& what)
    {
        return QStringLiteral("无法读取“%1”：%2").arg(path_, postedError() ? posted_ : what);
    }

    QString path_;
    int rate_;
    QString posted_;
    GstElement* pipeline_ = nullptr;
    GstElement* convert_ = nullptr;
    GstElement* sink_ = nullptr;
};

}  // namespace

DecodedAudio decodeAudio(const QString& path, double startSeconds, double endSeconds)
{
    if (endSeconds >= 0 && endSeconds <= startSeconds)
        return {};
    Decoded decoded = DecodingPipeline(path, kAnalysisRate).run(startSeconds, endSeconds);
    return {std::move(decoded.samples), decoded.error};
}

QString streamAudio(const QString& path, double blockSeconds, const AudioBlock& block, const AudioLength& length)
{
    const size_t blockSamples = std::max<size_t>(1, size_t(std::lround(blockSeconds * kAnalysisRate)));
    return DecodingPipeline(path, kAnalysisRate).stream(blockSamples, length, block);
}

WholeRecording decodeWholeRecording(const QString& path, int rate)
{
    Decoded decoded = DecodingPipeline(path, rate).run(0, -1);
    return {std::move(decoded.samples), rate, decoded.error};
}
