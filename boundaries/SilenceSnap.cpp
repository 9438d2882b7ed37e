#include "boundaries/SilenceSnap.h"

#include <algorithm>
#include <cmath>

namespace {

double decibels(double level) { return 20 * std::log10(std::max(level, 1.0) / 32767.0); }

// The level under which a frame around `frame` is silent; none where the
// sound around is all alike (no loud frames over a floor).
std::optional<double> quietLevel(const WaveSummary& summary, int frame)
{
    const int context = int(snap::kContextSeconds / WaveSummary::kFrameSeconds);
    const int from = std::max(frame - context, 0);
    const int to = std::min(frame + context, summary.frames());
    if (from >= to)
        return std::nullopt;
    std::vector<int16_t> levels(summary.rms.begin() + from, summary.rms.begin() + to);
    std::sort(levels.begin(), levels.end());
    // Percentiles, so a click or a single loud syllable does not set the
    // loud level, nor a dropout the floor; a short pause is still a few per
    // cent of the frames around.
    const double loud = decibels(levels[levels.size() * 9 / 10]);
    const double floor = std::max(decibels(levels[levels.size() * 3 / 100]), loud - snap::kDeepestFloorDb);
    if (loud - floor < snap::kLeastContrastDb)
        return std::nullopt;
    return 32767.0 * std::pow(10.0, (floor + snap::kFloorShare * (loud - floor)) / 20);
}

}  // namespace

std::optional<double> snapToSilence(const WaveSummary& summary, double seconds, const StartRange& range)
{
    const int around = summary.frameAt(seconds);
    const std::optional<double> level = quietLevel(summary, around);
    if (!level)
        return std::nullopt;
    const double quiet = *level;
    const int reach = int(snap::kReachSeconds / WaveSummary::kFrameSeconds);
    const int shortest = int(std::ceil(snap::kShortestSilence / WaveSummary::kFrameSeconds));
    // A silence running past the reach still counts: its whole length is
    // followed on either side.
    int first = std::max(around - reach, 0);
    while (first > 0 && summary.rms[size_t(first - 1)] < quiet)
        --first;
    const int last = std::min(around + reach, summary.frames());
    std::optional<double> best;
    double bestScore = 0;
    for (int frame = first; frame < last;) {
        if (summary.rms[size_t(frame)] >= quiet) {
            ++frame;
            continue;
        }
        int end = frame;
        while (end < summary.frames() && summary.rms[size_t(end)] < quiet)
            ++end;
        if (end - frame >= shortest) {
            const double begin = frame * WaveSummary::kFrameSeconds;
            const double speech = end * WaveSummary::kFrameSeconds;
            const double start =
                std::clamp(std::max((begin + speech) / 2, speech - snap::kLeadIn), range.earliest, range.latest);
            // A range that leaves none of the silence leaves it out.
            const bool inSilence = start >= begin && start <= speech;
            // The nearest silence, a long one counting as nearer than a
            // short one: a start dropped into a sentence's first word lies
            // nearer the closure of a stop in it than the pause before it.
            const double score =
                std::abs(start - seconds) - snap::kLengthWeight * std::min(speech - begin, snap::kReachSeconds);
            if (inSilence && std::abs(start - seconds) <= snap::kReachSeconds && (!best || score < bestScore)) {
                best = start;
                bestScore = score;
            }
        }
        frame = end;
    }
    return best;
}
