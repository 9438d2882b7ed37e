#include "platform/analysis/Mp3Encoder.h"

#include <lame/lame.h>

#include <algorithm>
#include <cstring>

namespace {

// Frames handed to LAME per call, so that its output bound stays small.
constexpr std::size_t kFramesPerCall = 16384;
// LAME's own bound for one call's output: 1.25 × frames + 7200 bytes.
constexpr int outputBound(std::size_t frames) { return int(frames + frames / 4 + 7200); }

}  // namespace

struct Mp3Encoder::Lame {
    lame_global_flags* flags = lame_init();
    ~Lame()
    {
        if (flags)
            lame_close(flags);
    }
};

const std::vector<int>& Mp3Encoder::rates()
{
    static const std::vector<int> mpeg = {8000, 11025, 12000, 16000, 22050, 24000, 32000, 44100, 48000};
    return mpeg;
}

Mp3Encoder::Mp3Encoder(const Mp3Settings& settings) : lame_(std::make_unique<Lame>()), channels_(settings.channels)
{
    lame_global_flags* lame = lame_->flags;
    const bool mpegRate = std::count(rates().begin(), rates().end(), settings.rate) == 1;
    const bool usable = lame && mpegRate && (channels_ == 1 || channels_ == 2);
    if (usable) {
        lame_set_in_samplerate(lame, settings.rate);
        // LAME would pick a lower rate for a low bit rate on its own.
        lame_set_out_samplerate(lame, settings.rate);
        lame_set_num_channels(lame, channels_);
        lame_set_mode(lame, channels_ == 1 ? MONO : JOINT_STEREO);
        if (settings.constantKbps > 0) {
            lame_set_VBR(lame, vbr_off);
            lame_set_brate(lame, settings.constantKbps);
        } else {
            lame_set_VBR(lame, vbr_default);
            lame_set_VBR_quality(lame, float(settings.variableQuality));
        }
        // The tag's frame is reserved first in the stream; no ID3 tag goes
        // before it.
        lame_set_bWriteVbrTag(lame, 1);
        lame_set_write_id3tag_automatic(lame, 0);
    }
    if (!usable || lame_init_params(lame) < 0) {
        error_ = QStringLiteral("MP3 编码器不接受 %1 Hz、%2 个声道").arg(settings.rate).arg(channels_);
        if (settings.constantKbps > 0)
            error_ += QStringLiteral("、%1 kbit/s").arg(settings.constantKbps);
    }
}

Mp3Encoder::~Mp3Encoder() = default;

bool Mp3Encoder::encode(const float* interleaved, std::size_t frames, QByteArray& out)
{
    if (!error_.isEmpty())
        return false;
    while (frames > 0) {
        const std::size_t part = std::min(frames, kFramesPerCall);
        const int at = out.size();
        out.resize(at + outputBound(part));
        auto* buffer = reinterpret_cast<unsigned char*>(out.data() + at);
        // Mono takes one channel's samples; stereo takes them interleaved.
        const int made = channels_ == 1
                             ? lame_encode_buffer_ieee_float(lame_->flags, interleaved, interleaved, int(part), buffer,
                                                             outputBound(part))
                             : lame_encode_buffer_interleaved_ieee_float(lame_->flags, interleaved, int(part), buffer,
                                                                         outputBound(part));
        if (made < 0) {
            out.truncate(at);
            error_ = QStringLiteral("MP3 编码失败（%1）").arg(made);
            return false;
        }
        out.truncate(at + made);
        interleaved += part * std::size_t(channels_);
        frames -= part;
    }
    return true;
}

QByteArray Mp3Encoder::finish(QByteArray& out)
{
    if (!error_.isEmpty())
        return {};
    const int at = out.size();
    out.resize(at + outputBound(0));
    const int flushed =
        lame_encode_flush(lame_->flags, reinterpret_cast<unsigned char*>(out.data() + at), outputBound(0));
    out.truncate(at + std::max(flushed, 0));
    if (flushed < 0) {
        error_ = QStringLiteral("MP3 编码失败（%1）").arg(flushed);
        return {};
    }
    unsigned char tag[2880];  // the largest MPEG audio frame
    const std::size_t size = lame_get_lametag_frame(lame_->flags, tag, sizeof tag);
    if (size == 0 || size > sizeof tag) {
        error_ = QStringLiteral("MP3 编码器没有给出 LAME 头");
        return {};
    }
    return QByteArray(reinterpret_cast<const char*>(tag), int(size));
}

Mp3Bytes encodeMp3Samples(const float* samples, std::size_t count, const Mp3Settings& settings)
{
    Mp3Bytes mp3;
    Mp3Encoder encoder(settings);
    QByteArray tag;
    if (encoder.encode(samples, count / std::size_t(settings.channels), mp3.bytes))
        tag = encoder.finish(mp3.bytes);
    if (tag.isEmpty() || tag.size() > mp3.bytes.size()) {
        mp3.error = encoder.error().isEmpty() ? QStringLiteral("MP3 编码器没有给出 LAME 头") : encoder.error();
        mp3.bytes.clear();
        return mp3;
    }
    std::memcpy(mp3.bytes.data(), tag.constData(), std::size_t(tag.size()));
    return mp3;
}
