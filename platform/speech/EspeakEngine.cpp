#include "platform/speech/EspeakEngine.h"

#include <espeak-ng/speak_lib.h>

#include <mutex>

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

}  // namespace

bool use(const char* voice, const std::function<void()>& work)
{
    std::lock_guard locked(engineLock());
    if (initialisedRate() == 0 || espeak_SetVoiceByName(voice) != EE_OK)
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
