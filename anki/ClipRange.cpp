#include "anki/ClipRange.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr double kFrameSeconds = 0.01;
// A frame is speech when its level is within this much of the loudest frame's
// (-34 dB): the breath-quiet stretches between sentences stay below it.
constexpr double kSpeechLevelRatio = 0.02;
// Below this level nothing counts as speech, even in a recording that is
// almost silent throughout.
constexpr double kSilenceFloor = 1e-4;
// How far the search for speech reaches from a sentence's edge: a midpoint
// further than the longest padding limits nothing.
constexpr double kSearchSeconds = 2.0 * kMaxPaddingMs / 1000;

}  // namespace

SpeechMap::SpeechMap(const std::vector<float>& samples, int rate)
    : frameSeconds_(kFrameSeconds), duration_(double(samples.size()) / rate)
{
    const std::size_t frameLength = std::max<std::size_t>(1, std::size_t(rate * kFrameSeconds));
    std::vector<double> levels;
    for (std::size_t at = 0; at < samples.size(); at += frameLength) {
        const std::size_t stop = std::min(samples.size(), at + frameLength);
        double sum = 0;
        for (std::size_t i = at; i < stop; ++i)
            sum += double(samples[i]) * samples[i];
        levels.push_back(std::sqrt(sum / double(stop - at)));
    }
    const double loudest = levels.empty() ? 0 : *std::max_element(levels.begin(), levels.end());
    const double threshold = std::max(kSilenceFloor, loudest * kSpeechLevelRatio);
    for (double level : levels)
        speech_.push_back(level > threshold);
}

std::optional<double> SpeechMap::speechEndBefore(double t) const
{
    const double reach = std::max(0.0, t - kSearchSeconds);
    for (long frame = long(std::floor(t / frameSeconds_)) - 1; frame >= 0 && frame * frameSeconds_ >= reach; --frame) {
        if (frame < long(speech_.size()) && speech_[frame])
            return (frame + 1) * frameSeconds_;
    }
    return std::nullopt;
}

std::optional<double> SpeechMap::speechStartAfter(double t) const
{
    const double reach = std::min(duration_, t + kSearchSeconds);
    for (long frame = long(std::ceil(t / frameSeconds_)); frame < long(speech_.size()) && frame * frameSeconds_ < reach;
         ++frame) {
        if (speech_[frame])
            return frame * frameSeconds_;
    }
    return std::nullopt;
}

double SpeechMap::silenceMidpoint(double t, double speechBefore, double speechAfter) const
{
    return (speechEndBefore(t).value_or(speechBefore) + speechStartAfter(t).value_or(speechAfter)) / 2;
}

ClipRange SpeechMap::paddedRange(double start, double end, int paddingMs) const
{
    const double padding = std::clamp(paddingMs, 0, kMaxPaddingMs) / 1000.0;
    const double rangeEnd = end < 0 ? duration_ : std::min(end, duration_);
    const double rangeStart = std::clamp(start, 0.0, rangeEnd);
    ClipRange clip{std::max(0.0, rangeStart - padding), std::min(duration_, rangeEnd + padding)};
    // With no speech within reach on the far side of an edge (before the
    // first sentence, after the last, a long pause) the padding is free; a
    // sentence whose own speech lies beyond the reach counts it from there.
    if (speechEndBefore(rangeStart))
        clip.start =
            std::min(rangeStart, std::max(clip.start, silenceMidpoint(rangeStart, 0, rangeStart + kSearchSeconds)));
    if (speechStartAfter(rangeEnd))
        clip.end = std::max(rangeEnd, std::min(clip.end, silenceMidpoint(rangeEnd, rangeEnd - kSearchSeconds, 0)));
    return clip;
}
