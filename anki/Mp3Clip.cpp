#include "anki/Mp3Clip.h"

namespace {

constexpr int kBitRateKbps = 64;

}  // namespace

Mp3Clip encodeMp3Clip(const float* samples, std::size_t count, int rate)
{
    return encodeMp3Samples(samples, count, Mp3Settings{rate, 1, kBitRateKbps});
}
