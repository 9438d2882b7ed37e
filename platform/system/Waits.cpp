#include "platform/system/Waits.h"

#include "platform/system/CourseLibrary.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

CourseLibrary* waitClock = nullptr;

// Handles pending events, or sleeps until one arrives, but not longer than
// maxSleepMs.
void processEventsFor(int maxSleepMs)
{
    QTimer wakeUp;
    wakeUp.setSingleShot(true);
    // A coarse timer may wake up to 5 % late, which would lengthen a pause of
    // a few seconds noticeably.
    wakeUp.setTimerType(Qt::PreciseTimer);
    wakeUp.start(qMax(1, maxSleepMs));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace

void setWaitClock(CourseLibrary* library) { waitClock = library; }

void Delay(int nMilliseconds)
{
    if (nMilliseconds == 0 || waitClock == nullptr)
        return;
    const double start = waitClock->dllMyGetTime();
    for (int passed; (passed = waitClock->dllTimePassed(start)) < nMilliseconds;)
        processEventsFor(nMilliseconds - passed);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (waitClock == nullptr)
        return done();
    const double start = waitClock->dllMyGetTime();
    while (!done()) {
        const int passed = waitClock->dllTimePassed(start);
        if (passed >= timeoutMs)
            return false;
        processEventsFor(timeoutMs - passed);
    }
    return true;
}
