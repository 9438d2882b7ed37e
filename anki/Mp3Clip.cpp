#include "anki/Mp3Clip.h"

#include <lame/lame.h>

#include <cstring>
#include <memory>

namespace {

constexpr int kBitRateKbps = 64;

struct LameDeleter {
    void operator()(lame_global_flags* flags) const { lame_close(flags); }
};
using Lame = std::unique_ptr<lame_global_flags, LameDeleter>;

Lame makeEncoder(int rate)
{
    Lame lame(lame_init());
    if (!lame)
        return nullptr;
    lame_set_in_samplerate(lame.get(), rate);
    lame_set_out_samplerate(lame.get(), rate);
    lame_set_num_channels(lame.get(), 1);
    lame_set_mode(lame.get(), MONO);
    lame_set_VBR(lame.get(), vbr_off);
    lame_set_brate(lame.get(), kBitRateKbps);
    // The header frame is reserved at the start and filled in at the end.
    lame_set_bWriteVbrTag(lame.get(), 1);
    if (lame_init_params(lame.get()) < 0)
        return nullptr;
    return lame;
}

}  // namespace

Mp3Clip encodeMp3Clip(const float* samples, std::size_t count, int rate)
{
    Mp3Clip clip;
    Lame lame = makeEncoder(rate);
    if (!lame) {
        clip.error = QString("MP3 编码器不接受 %1 Hz 单声道 %2 kbit/s").arg(rate).arg(kBitRateKbps);
        return clip;
    }
    // LAME's own bound for one call's output, and room for the flush.
    QByteArray out(int(count + count / 4 + 7200 + 7200), Qt::Uninitialized);
    auto* buffer = reinterpret_cast<unsigned char*>(out.data());
    const int encoded = lame_encode_buffer_ieee_float(lame.get(), samples, samples, int(count), buffer, out.size());
    const int flushed = encoded < 0 ? -1 : lame_encode_flush(lame.get(), buffer + encoded, out.size() - encoded);
    if (encoded < 0 || flushed < 0) {
        clip.error = QString("MP3 编码失败（%1）").arg(encoded < 0 ? encoded : flushed);
        return clip;
    }
    out.truncate(encoded + flushed);
    unsigned char tag[2880];
    const std::size_t tagSize = lame_get_lametag_frame(lame.get(), tag, sizeof tag);
    if (tagSize == 0 || tagSize > std::size_t(out.size())) {
        clip.error = QString("MP3 编码器没有给出 LAME 头");
        return clip;
    }
    std::memcpy(out.data(), tag, tagSize);
    clip.bytes = out;
    return clip;
}
