#pragma once

// A study mode: the work done in one study status. Each mode is made once
// with the window and lives as long as it; entering and leaving switch the
// status. Waits inside a mode let other handlers run nested, so whatever a
// mode checks after a wait it reads afresh from the session.

#include <QObject>

class HtmlElement;
class StudySession;

class StudyMode : public QObject {
    Q_OBJECT
public:
    StudyMode(StudySession& session, int status, QObject* parent = nullptr);

    // The status the mode runs in.
    int status() const { return status_; }
    bool isRunning() const;
    // The mode's toolbar button: leaves the mode when it runs, enters it
    // otherwise.
    void toggle();

    virtual void enter() = 0;
    virtual void leave() = 0;
    // A press on sentence n of the lesson page, on its English text or on its
    // sound icon (the element pressed). The lesson player has been stopped.
    virtual void sentencePressed(int n, HtmlElement* element, bool onText);
    // The sentence range the mode played has ended.
    virtual void rangeEnded();
    // The learner's take has ended playing (notifyCode as WaveDevice::done).
    virtual void wavePlayerDone(int notifyCode);

protected:
    StudySession& session_;

private:
    const int status_;
};
