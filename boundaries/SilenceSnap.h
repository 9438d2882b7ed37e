#pragma once

// A sentence's start snapped to the silence nearest it. What counts as
// silence is relative to the speech around the start (a level well under
// its loudest frames), so quiet speech and a loud recording snap alike. The
// start goes to the silence's middle, but no more than a short lead-in
// before the speech after it, as the aligner places starts.

#include "boundaries/StartRange.h"
#include "boundaries/WaveSummary.h"

#include <optional>

namespace snap {

// How far around the start the loudness is judged, and how far a silence
// may lie from it.
constexpr double kContextSeconds = 2.0;
constexpr double kReachSeconds = 1.0;
// Silence: frames this far under the loud frames around, for at least this long.
constexpr double kSilenceBelowDb = 30;
constexpr double kShortestSilence = 0.04;
// The most a snapped start lies before the speech that follows.
constexpr double kLeadIn = 0.2;

}  // namespace snap

// The snapped start for a start at `seconds`, within `range`; none when no
// silence lies within reach (the start is then left where it is).
std::optional<double> snapToSilence(const WaveSummary& summary, double seconds, const StartRange& range);
