#include "boundaries/SilenceSnap.h"

#include <algorithm>
#include <cmath>

namespace {

// The level of the loud frames around `frame`: the 90th percentile of their
// RMS, so a click or a single loud syllable does not set it.
double loudLevel(const WaveSummary& summary, int frame)
{
    const int context = int(snap::kContextSeconds / WaveSummary::kFrameSeconds);
    const int from = std::max(frame - context, 0);
    const int to = std::min(frame + context, summary.frames());
    if (from >= to)
        return 0;
    std::vector<int16_t> levels(summary.rms.begin() + from, summary.rms.begin() + to);
    const auto nth = levels.begin() + std::ptrdiff_t(levels.size() * 9 / 10);
    std::nth_element(levels.begin(), nth, levels.end());
    return *nth;
}

}  // namespace

std::optional<double> snapToSilence(const WaveSummary& summary, double seconds, const StartRange& range)
{
    const int around = summary.frameAt(seconds);
    const double loud = loudLevel(summary, around);
    if (loud <= 0)
        return std::nullopt;
    const double quiet = loud * std::pow(10.0, -snap::kSilenceBelowDb / 20);
    const int reach = int(snap::kReachSeconds / WaveSummary::kFrameSeconds);
    const int shortest = int(std::ceil(snap::kShortestSilence / WaveSummary::kFrameSeconds));
    // A silence running past the reach still counts: its whole length is
    // followed on either side.
    int first = std::max(around - reach, 0);
    while (first > 0 && summary.rms[size_t(first - 1)] < quiet)
        --first;
    const int last = std::min(around + reach, summary.frames());
    std::optional<double> best;
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
            const double start = std::clamp(std::max((begin + speech) / 2, speech - snap::kLeadIn),
                                            range.earliest, range.latest);
            // A range that leaves none of the silence leaves it out.
            const bool inSilence = start >= begin && start <= speech;
            if (inSilence && std::abs(start - seconds) <= snap::kReachSeconds &&
                (!best || std::abs(start - seconds) < std::abs(*best - seconds)))
                best = start;
        }
        frame = end;
    }
    return best;
}
