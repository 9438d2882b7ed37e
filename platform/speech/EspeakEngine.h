#pragma once

// The process's one espeak-ng engine. espeak-ng keeps its state — the voice,
// the speaking rate, the synth callback — in globals shared by every caller,
// so each use goes through here: one lock, the engine initialised once, and
// the voice the use asks for set at its start, whatever the use before it
// left behind.

#include <functional>

namespace espeakengine {

// Runs `work` on the engine with `voice` (an espeak-ng voice name such as
// "en-us") set, holding the engine's lock, from any thread. False, without
// running it, when the engine or the voice cannot be had. `work` must not
// use the engine through here again: the lock is not recursive.
bool use(const char* voice, const std::function<void()>& work);

// The rate of the samples the engine makes; 0 when it cannot start.
int sampleRate();

}  // namespace espeakengine
