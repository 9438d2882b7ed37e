#include "platform/speech/EspeakEngine.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>
#include <string>

namespace espeakengine {

namespace {

std::mutex& engineLock()
{
    static std::mutex lock;
    return lock;
}

// Called with the lock held: espeak_Initialize runs once per process.
int initialisedRate()
{
    static const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 0, nullptr, espeakINITIALIZE_DONT_EXIT);
    return rate > 0 ? rate : 0;
}

// Called with the lock held. Only this file sets voices, so the one set
// last is the engine's; loading it again (a third of a millisecond) is
// skipped for the many short uses in a row that want the same voice.
bool setVoice(const char* voice)
{
    static std::string current;
    if (current == voice)
        return true;
    current.clear();
    if (espeak_SetVoiceByName(voice) != EE_OK)
        return false;
    current = voice;
    return true;
}

}  // namespace

bool use(const char* voice, const std::function<void()>& work)
{
    std::lock_guard locked(engineLock());
    if (initialisedRate() == 0 || !setVoice(voice))
        return false;
    work();
    return true;
}

int sampleRate()
{
    std::lock_guard locked(engineLock());
    return initialisedRate();
}

}  // namespace espeakengine
