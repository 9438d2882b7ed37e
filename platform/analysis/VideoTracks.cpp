#include "platform/analysis/VideoTracks.h"

#include "platform/gst/GstUtil.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

#include <gst/app/gstappsink.h>
#include <gst/pbutils/pbutils.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace {

QString uriOf(const QString& path)
{
    gchar* uri = gst_filename_to_uri(QFile::encodeName(path).constData(), nullptr);
    const QString text = QString::fromUtf8(uri ? uri : "");
    g_free(uri);
    return text;
}

QString codecOf(GstDiscovererStreamInfo* stream)
{
    GstCaps* caps = gst_discoverer_stream_info_get_caps(stream);
    if (!caps)
        return {};
    gchar* description = gst_pb_utils_get_codec_description(caps);
    const QString codec = QString::fromUtf8(description ? description : "");
    g_free(description);
    gst_caps_unref(caps);
    return codec;
}

QList<TextTrack> textTracksOf(GstDiscovererInfo* info)
{
    QList<TextTrack> tracks;
    GList* streams = gst_discoverer_info_get_subtitle_streams(info);
    for (GList* s = streams; s; s = s->next) {
        auto* stream = GST_DISCOVERER_STREAM_INFO(s->data);
        TextTrack track;
        track.streamId = QString::fromUtf8(gst_discoverer_stream_info_get_stream_id(stream));
        track.language = QString::fromUtf8(gst_discoverer_subtitle_info_get_language(GST_DISCOVERER_SUBTITLE_INFO(stream)));
        track.codec = codecOf(stream);
        tracks << track;
    }
    gst_discoverer_stream_info_list_free(streams);
    return tracks;
}

// decodebin's answers to autoplug-select (its own enum, not in a public header).
enum AutoplugSelect { kTry = 0, kExpose = 1 };

// Only text is decoded: a picture or sound stream is handed out as the
// container holds it.
int textOnly(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    const QString kinds = QString::fromUtf8(klass ? klass : "");
    const bool other = kinds.contains("Video") || kinds.contains("Image") || kinds.contains("Audio");
    return other && !kinds.contains("Demux") ? kExpose : kTry;
}

QString plainText(const QString& text, bool markup)
{
    if (!markup)
        return text;
    QString plain = text;
    static const QRegularExpression tags("<[^>]*>");
    plain.remove(tags);
    return plain.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&apos;", "'").replace(
        "&amp;", "&");
}

class TrackReading {
public:
    TrackReading(const QString& path, const TextTrack& track, int position)
        : path_(path), track_(track), position_(position)
    {
    }

    ~TrackReading()
    {
        if (pipeline_)
            gst_element_set_state(pipeline_, GST_STATE_NULL);
        if (sink_)
            gst_object_unref(sink_);
        if (pipeline_)
            gst_object_unref(pipeline_);
    }

    TrackCues run(double timeLimitSeconds)
    {
        TrackCues read;
        if (!(read.error = start()).isEmpty())
            return read;
        QDeadlineTimer deadline(qint64(timeLimitSeconds * 1000));
        for (;;) {
            if (deadline.hasExpired()) {
                read.error = QStringLiteral("读取“%1”的文字轨超过 %2 秒，已放弃").arg(path_).arg(timeLimitSeconds);
                return read;
            }
            if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), 50 * GST_MSECOND)) {
                append(sample, &read.cues);
                gst_sample_unref(sample);
                continue;
            }
            if (gst_app_sink_is_eos(GST_APP_SINK(sink_)))
                return read;
            if (allPadsAdded_ && !linked_) {
                read.error = QStringLiteral("“%1”的文字轨无法读出").arg(path_);
                return read;
            }
            if (QString why = gstutil::postedError(pipeline_); !why.isEmpty()) {
                read.error = QStringLiteral("无法读取“%1”的文字轨：%2").arg(path_, why);
                return read;
            }
        }
    }

private:
    QString start()
    {
        gstutil::ensureInitialised();
        pipeline_ = gst_pipeline_new(nullptr);
        GstElement* source = gst_element_factory_make("filesrc", nullptr);
        GstElement* decode = gst_element_factory_make("decodebin", nullptr);
        sink_ = gst_element_factory_make("appsink", nullptr);
        if (!source || !decode || !sink_) {
            for (GstElement* made : {source, decode, sink_}) {
                if (made)
                    gst_object_unref(gst_object_ref_sink(made));
            }
            sink_ = nullptr;
            return QStringLiteral("缺少 GStreamer 组件，无法读取文字轨");
        }
        gst_object_ref(sink_);
        g_object_set(source, "location", QFile::encodeName(path_).constData(), nullptr);
        g_object_set(sink_, "sync", FALSE, "async", FALSE, nullptr);
        gst_bin_add_many(GST_BIN(pipeline_), source, decode, sink_, nullptr);
        gst_element_link(source, decode);
        g_signal_connect(decode, "autoplug-select", G_CALLBACK(textOnly), nullptr);
        g_signal_connect(decode, "pad-added", G_CALLBACK(&TrackReading::padAdded), this);
        g_signal_connect(decode, "no-more-pads", G_CALLBACK(&TrackReading::noMorePads), this);
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            return QStringLiteral("无法读取“%1”：%2").arg(path_, gstutil::postedError(pipeline_));
        return {};
    }

    // The chosen track goes to the sink, by its stream id or else by its
    // place among the text streams; every other stream nowhere.
    static void padAdded(GstElement*, GstPad* pad, TrackReading* self)
    {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        const GstStructure* structure = caps ? gst_caps_get_structure(caps, 0) : nullptr;
        const bool text = structure && g_str_has_prefix(gst_structure_get_name(structure), "text/");
        if (caps)
            gst_caps_unref(caps);
        gchar* id = gst_pad_get_stream_id(pad);
        const bool sameId = id && !self->track_.streamId.isEmpty() && self->track_.streamId == QString::fromUtf8(id);
        g_free(id);
        const int place = text ? self->textPads_++ : -1;
        const bool chosen = text && !self->linked_ && (sameId || place == self->position_);
        GstElement* target = self->sink_;
        if (!chosen) {
            target = gst_element_factory_make("fakesink", nullptr);
            g_object_set(target, "sync", FALSE, "async", FALSE, nullptr);
            gst_bin_add(GST_BIN(self->pipeline_), target);
            gst_element_sync_state_with_parent(target);
        }
        GstPad* sinkPad = gst_element_get_static_pad(target, "sink");
        const bool linked = gst_pad_link(pad, sinkPad) == GST_PAD_LINK_OK;
        gst_object_unref(sinkPad);
        if (chosen && linked)
            self->linked_ = true;
    }

    static void noMorePads(GstElement*, TrackReading* self) { self->allPadsAdded_ = true; }

    void append(GstSample* sample, QList<TimedText>* cues) const
    {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (!buffer || !GST_BUFFER_PTS_IS_VALID(buffer) || !gst_buffer_map(buffer, &map, GST_MAP_READ))
            return;
        TimedText cue;
        cue.start = gstutil::toSeconds(gint64(GST_BUFFER_PTS(buffer)));
        if (GST_BUFFER_DURATION_IS_VALID(buffer))
            cue.end = cue.start + gstutil::toSeconds(gint64(GST_BUFFER_DURATION(buffer)));
        const GstCaps* caps = gst_sample_get_caps(sample);
        const char* format = caps ? gst_structure_get_string(gst_caps_get_structure(caps, 0), "format") : nullptr;
        const bool markup = !format || QByteArray(format) != "utf8";
        cue.text = plainText(QString::fromUtf8(reinterpret_cast<const char*>(map.data), int(map.size)), markup);
        gst_buffer_unmap(buffer, &map);
        if (!cue.text.trimmed().isEmpty())
            cues->append(cue);
    }

    QString path_;
    TextTrack track_;
    int position_;
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    std::atomic_bool linked_{false};
    std::atomic_bool allPadsAdded_{false};
    int textPads_ = 0;
};

}  // namespace

namespace {

MediaStreams discovered(const QString& path, double timeLimitSeconds);

bool someUntagged(const QList<TextTrack>& tracks)
{
    return std::any_of(tracks.begin(), tracks.end(), [](const TextTrack& t) { return t.language.isEmpty(); });
}

}  // namespace

// A text stream is sparse: its language tag may come after the discoverer
// has its answer (seen on a loaded machine). A track seen without one is
// looked at again, a few times at most: a track that has no tag costs
// these few looks.
MediaStreams mediaStreamsOf(const QString& path, double timeLimitSeconds)
{
    constexpr int kLooksForUntagged = 3;
    MediaStreams streams = discovered(path, timeLimitSeconds);
    for (int look = 0; look < kLooksForUntagged && streams.error.isEmpty() && someUntagged(streams.textTracks); ++look) {
        const MediaStreams again = discovered(path, timeLimitSeconds);
        for (TextTrack& track : streams.textTracks) {
            for (const TextTrack& seen : again.textTracks) {
                if (track.language.isEmpty() && seen.streamId == track.streamId)
                    track.language = seen.language;
            }
        }
    }
    return streams;
}

namespace {

MediaStreams discovered(const QString& path, double timeLimitSeconds)
{
    MediaStreams streams;
    gstutil::ensureInitialised();
    GError* error = nullptr;
    GstDiscoverer* discoverer = gst_discoverer_new(GstClockTime(timeLimitSeconds * GST_SECOND), &error);
    if (!discoverer) {
        streams.error = QStringLiteral("无法读取“%1”：%2").arg(path, QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        return streams;
    }
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uriOf(path).toUtf8().constData(), &error);
    const GstDiscovererResult result = info ? gst_discoverer_info_get_result(info) : GST_DISCOVERER_ERROR;
    if (result == GST_DISCOVERER_OK) {
        GList* video = gst_discoverer_info_get_video_streams(info);
        GList* audio = gst_discoverer_info_get_audio_streams(info);
        // A still picture (a cover in an audio file) is no video.
        for (GList* v = video; v; v = v->next)
            streams.video = streams.video || !gst_discoverer_video_info_is_image(GST_DISCOVERER_VIDEO_INFO(v->data));
        streams.sound = audio != nullptr;
        gst_discoverer_stream_info_list_free(video);
        gst_discoverer_stream_info_list_free(audio);
        streams.textTracks = textTracksOf(info);
    } else if (result == GST_DISCOVERER_MISSING_PLUGINS) {
        streams.error = QStringLiteral("无法读取“%1”：缺少能解开它的 GStreamer 组件").arg(path);
    } else if (result == GST_DISCOVERER_TIMEOUT) {
        streams.error = QStringLiteral("无法读取“%1”：超过 %2 秒仍未读出").arg(path).arg(timeLimitSeconds);
    } else {
        streams.error = QStringLiteral("无法读取“%1”：不是能播放的音频或视频文件").arg(path);
    }
    g_clear_error(&error);
    if (info)
        g_object_unref(info);
    g_object_unref(discoverer);
    return streams;
}

}  // namespace

bool isEnglishLanguage(const QString& tag)
{
    const QString lower = tag.trimmed().toLower();
    return lower == "en" || lower == "eng" || lower.startsWith("en-") || lower.startsWith("en_");
}

int firstEnglishTrack(const QList<TextTrack>& tracks)
{
    for (int k = 0; k < tracks.size(); ++k) {
        if (isEnglishLanguage(tracks.at(k).language))
            return k;
    }
    return -1;
}

QString describeTracks(const QList<TextTrack>& tracks)
{
    if (tracks.isEmpty())
        return QStringLiteral("没有文字轨");
    QStringList parts;
    for (int k = 0; k < tracks.size(); ++k) {
        const TextTrack& t = tracks.at(k);
        parts << QStringLiteral("%1 %2（%3）")
                     .arg(k + 1)
                     .arg(t.language.isEmpty() ? QStringLiteral("未标语言") : t.language,
                          t.codec.isEmpty() ? QStringLiteral("未知格式") : t.codec);
    }
    return parts.join(QStringLiteral("、"));
}

TrackCues readTextTrack(const QString& path, const TextTrack& track, double timeLimitSeconds)
{
    const MediaStreams streams = mediaStreamsOf(path);
    int position = -1;
    for (int k = 0; k < streams.textTracks.size(); ++k) {
        if (streams.textTracks.at(k).streamId == track.streamId)
            position = k;
    }
    return TrackReading(path, track, position).run(timeLimitSeconds);
}
