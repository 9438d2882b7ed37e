#pragma once

// Waits that keep the window alive: events are handled while they last, so
// handlers may run nested inside them, and the thread sleeps in the event
// loop between events instead of spinning.

#include <functional>

class CourseLibrary;

// The library whose clock the waits read (dllMyGetTime, dllTimePassed).
void setWaitClock(CourseLibrary* library);
// A clock read instead, in milliseconds, that moves as its owner says (tests
// that must not spend the seconds a wait lasts); empty for the library's.
void setManualWaitClock(std::function<double()> nowMs);

// Waits at least nMilliseconds; zero or less returns at once.
void Delay(int nMilliseconds);

// Handles events until done() holds or timeoutMs have passed; returns
// whether done() holds.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);
