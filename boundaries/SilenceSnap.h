#pragma once

// A sentence's start snapped to the silence nearest it. What counts as
// silence is judged from the sound around the start: a level a little above
// its quiet floor (a noise floor, a music bed) and well under its loud
// frames, so quiet speech, a loud recording and one with steady noise snap
// alike. The start goes to the silence's middle, but no more than a short
// lead-in before the speech after it, as the aligner places starts.

#include "boundaries/StartRange.h"
#include "boundaries/WaveSummary.h"

#include <optional>

namespace snap {

// How far around the start the loudness is judged, and how far a silence
// may lie from it.
constexpr double kContextSeconds = 2.0;
constexpr double kReachSeconds = 1.0;
// Silence: frames under a level this share of the way from the quiet floor
// to the loud frames (in dB), for at least kShortestSilence (longer than the
// closure of a stop inside a word); none where the loud frames are less
// than kLeastContrastDb over the floor.
constexpr double kFloorShare = 0.2;
constexpr double kLeastContrastDb = 12;
constexpr double kDeepestFloorDb = 60;
constexpr double kShortestSilence = 0.1;
// How much nearer a silence counts for each second of its length (up to
// kReachSeconds long).
constexpr double kLengthWeight = 0.5;
// The most a snapped start lies before the speech that follows.
constexpr double kLeadIn = 0.3;

}  // namespace snap

// The snapped start for a start at `seconds`, within `range`; none when no
// silence lies within reach (the start is then left where it is).
std::optional<double> snapToSilence(const WaveSummary& summary, double seconds, const StartRange& range);
