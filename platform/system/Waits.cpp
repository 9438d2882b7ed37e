#include "platform/system/Waits.h"

#include "platform/system/CourseLibrary.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

CourseLibrary* waitClock = nullptr;
// Milliseconds; read instead of the library's clock when set.
std::function<double()> manualClock;

double stamp() { return manualClock ? manualClock() : waitClock->dllMyGetTime(); }

int passedSince(double start)
{
    return manualClock ? static_cast<int>(manualClock() - start) : waitClock->dllTimePassed(start);
}

// A manual clock moves only when read: the waits then look at it again at
// once instead of sleeping for the time it says is left.
int sleepFor(int remainingMs) { return manualClock ? 0 : remainingMs; }

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

void setManualWaitClock(std::function<double()> nowMs) { manualClock = std::move(nowMs); }

void Delay(int nMilliseconds)
{
    if (nMilliseconds == 0 || (waitClock == nullptr && !manualClock))
        return;
    const double start = stamp();
    for (int passed; (passed = passedSince(start)) < nMilliseconds;)
        processEventsFor(sleepFor(nMilliseconds - passed));
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (waitClock == nullptr && !manualClock)
        return done();
    const double start = stamp();
    while (!done()) {
        const int passed = passedSince(start);
        if (passed >= timeoutMs)
            return false;
        processEventsFor(sleepFor(timeoutMs - passed));
    }
    return true;
}
