#include "platform/analysis/Mp3Encoding.h"

#include "platform/analysis/Mp3Encoder.h"
#include "platform/gst/GstUtil.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStringList>

#include <gst/app/gstappsink.h>

#include <atomic>
#include <memory>
#include <utility>

namespace {

// How long one wait for decoded samples lasts before the cancel flag, the
// time limit and the pipeline's errors are looked at again.
constexpr GstClockTime kPollInterval = 50 * GST_MSECOND;
// Decoding runs far ahead of encoding: a few buffers queued are enough, and
// keep a long recording out of memory.
constexpr guint kQueuedBuffers = 8;

// Float samples at a rate and with channels MPEG audio has: the source's
// own when it can, the nearest otherwise. The location is set on the
// element, so no file name is ever parsed as part of the description.
QString pipelineDescription()
{
    QStringList rates;
    for (int rate : Mp3Encoder::rates())
        rates << QString::number(rate);
    return QStringLiteral(
               "filesrc name=source ! decodebin name=decode ! audioconvert ! audioresample ! "
               "audio/x-raw,format=F32LE,layout=interleaved,rate=(int){%1},channels=(int)[1,2] ! "
               "appsink name=sink sync=false max-buffers=%2")
        .arg(rates.join(','))
        .arg(kQueuedBuffers);
}

// decodebin's answers to autoplug-select (its own enum, not in a public header).
enum AutoplugSelect { kTry = 0, kExpose = 1 };

// Only the sound is decoded: a picture or text stream is handed out as the
// container holds it, never parsed or decoded.
int soundOnly(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer)
{
    const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
    const QString kinds = QString::fromUtf8(klass ? klass : "");
    const bool container = kinds.contains("Demux");
    const bool picture = kinds.contains("Video") || kinds.contains("Image") || kinds.contains("Subtitle");
    return picture && !container ? kExpose : kTry;
}

class Conversion {
public:
    Conversion(const QString& source, const QString& target, double timeLimitSeconds, const std::atomic_bool* cancel)
        : source_(source), target_(target), deadline_(qint64(timeLimitSeconds * 1000)), limitSeconds_(timeLimitSeconds),
          cancel_(cancel)
    {
    }

    ~Conversion()
    {
        if (pipeline_) {
            gst_element_set_state(pipeline_, GST_STATE_NULL);
            gst_object_unref(sink_);
            gst_object_unref(pipeline_);
        }
    }

    QString run()
    {
        QString error = start();
        if (error.isEmpty())
            error = encodeAll();
        if (error.isEmpty())
            error = writeTag();
        if (!error.isEmpty() && target_.isOpen())
            target_.remove();
        return error;
    }

    double seconds() const { return rate_ > 0 ? double(frames_) / rate_ : 0; }

private:
    QString start()
    {
        gstutil::ensureInitialised();
        GError* parseError = nullptr;
        pipeline_ = gst_parse_launch(pipelineDescription().toUtf8().constData(), &parseError);
        if (parseError || !pipeline_) {
            const QString why = parseError ? QString::fromUtf8(parseError->message) : QString();
            g_clear_error(&parseError);
            if (pipeline_)
                gst_object_unref(std::exchange(pipeline_, nullptr));
            return QStringLiteral("无法把录音转成 MP3（缺少 GStreamer 组件？）：%1").arg(why);
        }
        GstElement* decode = gst_bin_get_by_name(GST_BIN(pipeline_), "decode");
        g_signal_connect(decode, "autoplug-select", G_CALLBACK(soundOnly), nullptr);
        // After the link the description made: what it left unlinked goes nowhere.
        g_signal_connect(decode, "pad-added", G_CALLBACK(&Conversion::discardUnlinked), this);
        g_signal_connect(decode, "no-more-pads", G_CALLBACK(&Conversion::allPadsAdded), this);
        gst_object_unref(decode);
        GstElement* sourceElement = gst_bin_get_by_name(GST_BIN(pipeline_), "source");
        g_object_set(sourceElement, "location", QFile::encodeName(source_).constData(), nullptr);
        gst_object_unref(sourceElement);
        sink_ = gst_bin_get_by_name(GST_BIN(pipeline_), "sink");
        if (!target_.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return QStringLiteral("无法写入“%1”：%2").arg(target_.fileName(), target_.errorString());
        if (gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            return unreadable();
        return {};
    }

    // Pulls until the end of the file, encoding each buffer as it comes.
    QString encodeAll()
    {
        for (;;) {
            if (cancel_ && *cancel_)
                return QStringLiteral("已取消");
            if (deadline_.hasExpired())
                return QStringLiteral("“%1”转换超过 %2 秒，已放弃").arg(source_).arg(limitSeconds_);
            if (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink_), kPollInterval)) {
                const QString error = encode(sample);
                gst_sample_unref(sample);
                if (!error.isEmpty())
                    return error;
                continue;
            }
            if (gst_app_sink_is_eos(GST_APP_SINK(sink_)) || (allPadsAdded_ && !soundLinked_))
                return encoder_ ? QString() : QStringLiteral("“%1”里没有声音").arg(source_);
            if (!postedError().isEmpty())
                return unreadable();
        }
    }

    QString encode(GstSample* sample)
    {
        int rate = 0;
        int channels = 0;
        if (const GstCaps* caps = gst_sample_get_caps(sample)) {
            const GstStructure* format = gst_caps_get_structure(caps, 0);
            gst_structure_get_int(format, "rate", &rate);
            gst_structure_get_int(format, "channels", &channels);
        }
        if (!encoder_) {
            encoder_ = std::make_unique<Mp3Encoder>(Mp3Settings{rate, channels});
            rate_ = rate;
            channels_ = channels;
            if (!encoder_->error().isEmpty())
                return encoder_->error();
        } else if (rate != rate_ || channels != channels_) {
            return QStringLiteral("“%1”的声音中途改变了采样率或声道数，无法转换").arg(source_);
        }
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        GstMapInfo map;
        if (!buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
            return {};
        const std::size_t frames = map.size / (sizeof(float) * std::size_t(channels_));
        frames_ += frames;
        bytes_.clear();
        const bool encoded = encoder_->encode(reinterpret_cast<const float*>(map.data), frames, bytes_);
        gst_buffer_unmap(buffer, &map);
        if (!encoded)
            return encoder_->error();
        return write(bytes_);
    }

    QString write(const QByteArray& bytes)
    {
        if (target_.write(bytes) != bytes.size())
            return QStringLiteral("无法写入“%1”（磁盘满了？）：%2").arg(target_.fileName(), target_.errorString());
        written_ += bytes.size();
        return {};
    }

    // The last frames, then the tag over the frame reserved for it.
    QString writeTag()
    {
        bytes_.clear();
        const QByteArray tag = encoder_->finish(bytes_);
        if (tag.isEmpty())
            return encoder_->error();
        if (QString error = write(bytes_); !error.isEmpty())
            return error;
        if (written_ < tag.size() || !target_.seek(0) || target_.write(tag) != tag.size() || !target_.flush())
            return QStringLiteral("无法写入“%1”的 MP3 头：%2").arg(target_.fileName(), target_.errorString());
        target_.close();
        return {};
    }

    // A stream the description did not link (a picture, a text track, a
    // second sound track) flows into a sink of its own, so that the
    // container does not stop for it.
    static void discardUnlinked(GstElement*, GstPad* pad, Conversion* self)
    {
        if (gst_pad_is_linked(pad)) {
            self->soundLinked_ = true;
            return;
        }
        GstElement* sink = gst_element_factory_make("fakesink", nullptr);
        if (!sink)
            return;
        g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
        gst_bin_add(GST_BIN(self->pipeline_), sink);
        gst_element_sync_state_with_parent(sink);
        GstPad* sinkPad = gst_element_get_static_pad(sink, "sink");
        gst_pad_link(pad, sinkPad);
        gst_object_unref(sinkPad);
    }

    static void allPadsAdded(GstElement*, Conversion* self) { self->allPadsAdded_ = true; }

    QString postedError()
    {
        const QString why = gstutil::postedError(pipeline_);
        if (!why.isEmpty())
            error_ = why;
        return error_;
    }

    QString unreadable()
    {
        postedError();
        return error_.isEmpty() ? QStringLiteral("无法读取“%1”").arg(source_)
                                : QStringLiteral("无法读取“%1”：%2").arg(source_, error_);
    }

    QString source_;
    QFile target_;
    QDeadlineTimer deadline_;
    double limitSeconds_;
    const std::atomic_bool* cancel_;
    GstElement* pipeline_ = nullptr;
    GstElement* sink_ = nullptr;
    std::unique_ptr<Mp3Encoder> encoder_;
    int rate_ = 0;
    int channels_ = 0;
    QByteArray bytes_;
    qint64 written_ = 0;
    std::size_t frames_ = 0;
    QString error_;
    std::atomic_bool soundLinked_{false};
    std::atomic_bool allPadsAdded_{false};
};

}  // namespace

QString encodeMp3(const QString& source, const QString& target, double timeLimitSeconds,
                  const std::atomic_bool* cancel, double* encodedSeconds)
{
    Conversion conversion(source, target, timeLimitSeconds, cancel);
    const QString error = conversion.run();
    if (encodedSeconds)
        *encodedSeconds = error.isEmpty() ? conversion.seconds() : 0;
    return error;
}
