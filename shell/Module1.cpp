#include "shell/Module1.h"

#include "shell/CourseLibrary.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>

namespace Module1 {

QString sAppPath;

namespace {

CourseLibrary* courseLibrary = nullptr;

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

QToolButton* toolbarButton(QToolBar* toolbar, const QString& key)
{
    return toolbar != nullptr ? toolbar->findChild<QToolButton*>(key) : nullptr;
}

}  // namespace

void setCourseLibrary(CourseLibrary* library) { courseLibrary = library; }

void Delay(int nMilliseconds)
{
    if (nMilliseconds == 0 || courseLibrary == nullptr)
        return;
    const double start = courseLibrary->dllMyGetTime();
    for (int passed; (passed = courseLibrary->dllTimePassed(start)) < nMilliseconds;)
        processEventsFor(nMilliseconds - passed);
}

bool WaitUntil(const std::function<bool()>& done, int timeoutMs)
{
    if (courseLibrary == nullptr)
        return done();
    const double start = courseLibrary->dllMyGetTime();
    while (!done()) {
        const int passed = courseLibrary->dllTimePassed(start);
        if (passed >= timeoutMs)
            return false;
        processEventsFor(timeoutMs - passed);
    }
    return true;
}

void CenterForm(QWidget* form)
{
    QScreen* screen = form->screen() != nullptr ? form->screen() : QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const QSize outer = form->frameGeometry().size();
    form->move(area.left() + area.width() / 2 - outer.width() / 2, area.top() + area.height() / 2 - outer.height() / 2);
}

void EnableToolbarButton(QToolBar* toolbar, const QString& key, int flag)
{
    if (QToolButton* button = toolbarButton(toolbar, key))
        button->setEnabled(flag != 0);
}

void SetToolbarButtonCaption(QToolBar* toolbar, const QString& key, const QString& caption)
{
    if (QToolButton* button = toolbarButton(toolbar, key))
        button->setText(caption);
}

}  // namespace Module1
