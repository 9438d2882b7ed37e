#include "platform/video/FrameGrab.h"

#include "platform/gst/GstUtil.h"
#include "platform/video/GstLeadInSkip.h"

#include <QFile>
#include <QFileInfo>
#include <QElapsedTimer>
#include <QSize>

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <cmath>

namespace {

// Generous: an accurate seek decodes from the keyframe before the time, a few
// seconds of picture at most.
constexpr GstClockTime kStepTimeout = 20 * GST_SECOND;
// A time past the last frame is taken this far before the video's end.
constexpr double kLastFrameMargin = 0.001;
// How far back from a time after the last frame the last frame is looked for:
// the first step, doubled up to the longest.
constexpr double kStepBack = 0.04;
constexpr double kLongestStepBack = 10.24;
// How far past the frame held a time may lie to be reached by decoding on
// rather than by a seek, until what each costs is known.
constexpr double kForwardReach = 2.0;
// A frame without a duration is taken to last this long.
constexpr double kUnknownFrameLength = 0.04;
// A decoder's time stamps may round a frame's start a little past the time.
constexpr double kStartTolerance = 0.0005;
// Decoding on by less than this says too little of its cost per second.
constexpr double kShortestMeasuredStep = 0.2;

// A running average of what a step cost, the latest counting for a third.
double averaged(double average, double latest)
{
    return average < 0 ? latest : (2 * average + latest) / 3;
}

// Stops decodebin at the encoded sound: only the picture is decoded.
gboolean decodeAllButSound(GstElement*, GstPad*, GstCaps* caps, gpointer)
{
    const GstStructure* s = gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    return !(s && g_str_has_prefix(gst_structure_get_name(s), "audio/"));
}

// Every picture decoder decodebin plugs skips what an exact seek need not
// decode on its way to the frame asked for.
void onDecoderAdded(GstBin*, GstElement* element, gpointer)
{
    skipLeadInIfVideoDecoder(element);
}

// The shape a frame is encoded at: its display width (pixels widened by their
// aspect ratio) down to maxWidth, never up, the height in proportion.
QSize encodedSize(const GstVideoInfo& info, int maxWidth)
{
    const int parN = std::max(1, GST_VIDEO_INFO_PAR_N(&info));
    const int parD = std::max(1, GST_VIDEO_INFO_PAR_D(&info));
    const double displayWidth = double(GST_VIDEO_INFO_WIDTH(&info)) * parN / parD;
    const double width = std::min(displayWidth, double(maxWidth));
    const double height = GST_VIDEO_INFO_HEIGHT(&info) * width / displayWidth;
    return {std::max(1, int(std::lround(width))), std::max(1, int(std::lround(height)))};
}

}  // namespace

FrameGrab::FrameGrab(const QString& videoPath, int maxWidth) : path_(videoPath), maxWidth_(maxWidth)
{
    if (!QFileInfo(path_).isFile())
        error_ = QStringLiteral("找不到视频：%1").arg(path_);
    else
        error_ = open();
}

FrameGrab::~FrameGrab()
{
    hold(nullptr);
    if (pipeline_) {
        gst_element_set_state(pipeline_, GST_STATE_NULL);
        gst_object_unref(pipeline_);
    }
}

// file → decodebin (the picture decoded, the sound left as it is) → an
// application sink the decoded frames are pulled from, one at a time.
// Returns what failed, empty on success.
QString FrameGrab::open()
{
    gstutil::ensureInitialised();
    QString error;
    GstElement* source = gstutil::makeElement("filesrc", &error);
    GstElement* decoder = gstutil::makeElement("decodebin", &error);
    GstElement* sink = gstutil::makeElement("appsink", &error);
    pipeline_ = gst_pipeline_new("frame-grab");
    gst_object_ref_sink(pipeline_);
    if (!source || !decoder || !sink) {
        for (GstElement* made : {source, decoder, sink})
            if (made)
                gst_object_unref(gst_object_ref_sink(made));
        return failure(error);
    }
    gst_bin_add_many(GST_BIN(pipeline_), source, decoder, sink, nullptr);
    g_object_set(source, "location", QFile::encodeName(path_).constData(), nullptr);
    GstCaps* raw = gst_caps_new_empty_simple("video/x-raw");
    g_object_set(sink, "caps", raw, "sync", FALSE, "max-buffers", 1, nullptr);
    gst_caps_unref(raw);
    sink_ = sink;
    g_signal_connect(decoder, "autoplug-continue", G_CALLBACK(&decodeAllButSound), nullptr);
    g_signal_connect(decoder, "element-added", G_CALLBACK(&onDecoderAdded), nullptr);
    g_signal_connect(decoder, "pad-added", G_CALLBACK(&FrameGrab::onPadAdded), this);
    g_signal_connect(decoder, "unknown-type", G_CALLBACK(&FrameGrab::onUnknownType), this);
    if (!gst_element_link(source, decoder))
        return failure(QStringLiteral("无法连接解码组件"));
    const bool prerolled = gst_element_set_state(pipeline_, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE &&
                           gst_element_get_state(pipeline_, nullptr, nullptr, kStepTimeout) == GST_STATE_CHANGE_SUCCESS;
    if (undecodable_ && !picture_)
        return QStringLiteral("无法读取视频“%1”：没有能解码其画面的 GStreamer 组件").arg(path_);
    // A sound file stops on its unlinked sound: say what it lacks.
    if (streams_ > 0 && !picture_)
        return QStringLiteral("无法读取视频“%1”：其中没有画面").arg(path_);
    if (!prerolled)
        return failure(QStringLiteral("无法打开"));
    gint64 length = 0;
    if (gst_element_query_duration(pipeline_, GST_FORMAT_TIME, &length) && length > 0)
        duration_ = gstutil::toSeconds(length);
    // Frames are pulled as they are decoded; the sink's one-frame queue holds
    // the decoder back between pulls.
    if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return failure(QStringLiteral("解码没有开始"));
    opened_ = true;
    return {};
}

void FrameGrab::onPadAdded(GstElement*, GstPad* pad, void* self)
{
    auto* me = static_cast<FrameGrab*>(self);
    GstPad* target = gst_element_get_static_pad(me->sink_, "sink");
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure* s = caps && gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    // The first picture stream; the encoded sound and any other stream stay
    // unlinked, which the demuxer takes in its stride.
    ++me->streams_;
    if (s && gst_structure_has_name(s, "video/x-raw") && !gst_pad_is_linked(target))
        me->picture_ = gst_pad_link(pad, target) == GST_PAD_LINK_OK;
    if (caps)
        gst_caps_unref(caps);
    gst_object_unref(target);
}

// A stream decodebin has no decoder for: a picture in a format not installed.
void FrameGrab::onUnknownType(GstElement*, GstPad*, GstCaps* caps, void* self)
{
    const GstStructure* s = caps && gst_caps_get_size(caps) > 0 ? gst_caps_get_structure(caps, 0) : nullptr;
    if (s && g_str_has_prefix(gst_structure_get_name(s), "video/"))
        static_cast<FrameGrab*>(self)->undecodable_ = true;
}

QByteArray FrameGrab::frameAt(double seconds)
{
    if (!opened_)
        return {};
    error_.clear();
    if (duration_ > 0 && seconds >= duration_)
        seconds = std::max(0.0, duration_ - kLastFrameMargin);
    const bool found = reachable(seconds) ? timedForwardTo(seconds) : timedSeekTo(seconds);
    // The sound may outlast the picture: a time after the last frame, which
    // ends the stream, takes that last frame.
    bool lastFrame = found;
    for (double back = kStepBack; !lastFrame && error_.isEmpty() && back <= kLongestStepBack && seconds > 0;
         back *= 2)
        lastFrame = seekTo(std::max(0.0, seconds - back));
    if (!lastFrame) {
        if (error_.isEmpty())
            error_ = failure(QStringLiteral("在 %1 秒处没有画面").arg(seconds, 0, 'f', 3));
        return {};
    }
    return encoded(current_);
}

// Whether decoding on from the frame held is likely to cost less than a seek,
// which decodes from the keyframe before the time: by what each has cost so
// far in this video, whose keyframes may lie a second or ten apart. Until
// both are known, times a little ahead are decoded on.
bool FrameGrab::reachable(double seconds) const
{
    if (!current_ || seconds < currentStart_)
        return false;
    const double ahead = std::max(0.0, seconds - currentEnd_);
    if (forwardCost_ < 0 || seekCost_ < 0)
        return ahead < kForwardReach;
    return ahead * forwardCost_ < seekCost_;
}

bool FrameGrab::timedSeekTo(double seconds)
{
    QElapsedTimer timer;
    timer.start();
    const bool found = seekTo(seconds);
    if (found)
        seekCost_ = averaged(seekCost_, timer.nsecsElapsed() / 1e9);
    return found;
}

bool FrameGrab::timedForwardTo(double seconds)
{
    const double from = currentEnd_;
    QElapsedTimer timer;
    timer.start();
    const bool found = decodeForwardTo(seconds);
    if (found && seconds - from > kShortestMeasuredStep)
        forwardCost_ = averaged(forwardCost_, timer.nsecsElapsed() / 1e9 / (seconds - from));
    return found;
}

// Accurate: the decoder starts at the keyframe before the time but hands on
// only the frames from the one shown at it.
bool FrameGrab::seekTo(double seconds)
{
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    hold(nullptr);
    if (!gst_element_seek_simple(pipeline_, GST_FORMAT_TIME, flags, gstutil::toClockTime(seconds))) {
        error_ = failure(QStringLiteral("无法定位到 %1 秒").arg(seconds, 0, 'f', 3));
        return false;
    }
    return decodeForwardTo(seconds);
}

// Takes the decoded frames in turn until the one shown at `seconds`; false at
// the end of the stream, or with error_ set when the pipeline stopped.
bool FrameGrab::decodeForwardTo(double seconds)
{
    while (!current_ || currentEnd_ <= seconds) {
        GstSample* next = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), kStepTimeout);
        if (!next) {
            if (!gst_app_sink_is_eos(GST_APP_SINK(sink_)))
                error_ = failure(QStringLiteral("解码中断"));
            // At the end the last frame stays held: it is shown from its
            // start to the end.
            return current_ && seconds >= currentStart_ && gst_app_sink_is_eos(GST_APP_SINK(sink_));
        }
        hold(next);
    }
    return currentStart_ <= seconds + kStartTolerance;
}

// Holds `sample` as the current frame, with the stretch of the video it is
// shown in.
void FrameGrab::hold(GstSample* sample)
{
    if (current_)
        gst_sample_unref(current_);
    current_ = sample;
    if (!sample)
        return;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    const GstSegment* segment = gst_sample_get_segment(sample);
    const GstClockTime pts = buffer ? GST_BUFFER_PTS(buffer) : GST_CLOCK_TIME_NONE;
    const GstClockTime length = buffer ? GST_BUFFER_DURATION(buffer) : GST_CLOCK_TIME_NONE;
    const guint64 at = GST_CLOCK_TIME_IS_VALID(pts) && segment
                           ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts)
                           : guint64(GST_CLOCK_TIME_NONE);
    currentStart_ = GST_CLOCK_TIME_IS_VALID(at) ? gstutil::toSeconds(gint64(at)) : 0;
    currentEnd_ = currentStart_ +
                  (GST_CLOCK_TIME_IS_VALID(length) ? gstutil::toSeconds(gint64(length)) : kUnknownFrameLength);
}

QByteArray FrameGrab::encoded(GstSample* frame)
{
    GstVideoInfo info;
    QByteArray jpeg;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(frame))) {
        const QSize size = encodedSize(info, maxWidth_);
        GstCaps* target = gst_caps_new_simple("image/jpeg", "width", G_TYPE_INT, size.width(), "height", G_TYPE_INT,
                                              size.height(), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        GError* gerror = nullptr;
        GstSample* encoded = gst_video_convert_sample(frame, target, kStepTimeout, &gerror);
        gst_caps_unref(target);
        if (encoded) {
            GstBuffer* buffer = gst_sample_get_buffer(encoded);
            GstMapInfo map;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                jpeg = QByteArray(reinterpret_cast<const char*>(map.data), qsizetype(map.size));
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(encoded);
        } else {
            error_ = failure(QStringLiteral("无法把画面编码为 JPEG：%1")
                                 .arg(gerror ? QString::fromUtf8(gerror->message) : QString()));
        }
        if (gerror)
            g_error_free(gerror);
    }
    return jpeg;
}

// The pipeline's own error text if it posted one, else `what`, naming the file.
QString FrameGrab::failure(const QString& what)
{
    if (posted_.isEmpty() && pipeline_)
        posted_ = gstutil::postedError(pipeline_);
    return QStringLiteral("无法读取视频“%1”：%2").arg(path_, posted_.isEmpty() ? what : posted_);
}
