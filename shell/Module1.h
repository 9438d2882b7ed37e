#pragma once

// Program-wide procedures and the program folder.

#include <QString>

#include <functional>

class CourseLibrary;
class QToolBar;
class QWidget;

namespace Module1 {

// The program's folder, without a trailing separator.
extern QString sAppPath;

// The library the waits take their clock from.
void setCourseLibrary(CourseLibrary* library);

// Waits at least nMilliseconds while the window keeps processing its events;
// handlers may run nested inside. Sleeps in the event loop between events.
void Delay(int nMilliseconds);

// Processes events until done() holds or timeoutMs have passed; returns
// whether done() holds.
bool WaitUntil(const std::function<bool()>& done, int timeoutMs);

// Places a window in the middle of its screen.
void CenterForm(QWidget* form);

void EnableToolbarButton(QToolBar* toolbar, const QString& key, int flag);
void SetToolbarButtonCaption(QToolBar* toolbar, const QString& key, const QString& caption);

}  // namespace Module1
