#pragma once

// A study mode: the work done in one study status. Each mode is made once
// with the window and lives as long as it. StudyModes switches between them:
// the running mode leaves, the status changes, the next mode enters. Waits
// inside a mode let other handlers run nested, so whatever a mode checks
// after a wait it reads afresh from the session.

#include <QObject>

class HtmlElement;
class StudySession;

// Told when sentence number n is at the last or first sentence of the lesson.
extern const char* const kAtLastSentence;

class StudyMode : public QObject {
    Q_OBJECT
public:
    StudyMode(StudySession& session, int status, QObject* parent = nullptr);

    // The status the mode runs in.
    int status() const { return status_; }
    bool isRunning() const;

    // Called by StudyModes only: entering runs after the status has become
    // the mode's; leaving ends what the mode does, before the next mode's
    // status is set.
    virtual void enter() = 0;
    virtual void leave() = 0;
    // A press on sentence n of the lesson page, on its English text or on its
    // sound icon (the element pressed). The lesson player has been stopped.
    virtual void sentencePressed(int n, HtmlElement* element, bool onText);
    // The sentence range the mode played has ended.
    virtual void rangeEnded();
    // The learner's take has ended playing (notifyCode as WaveDevice::done).
    virtual void wavePlayerDone(int notifyCode);

    // The sentence keys (Space, ↑, ↓): whether they act while the mode runs,
    // and the press a step of +1 or -1 from the current sentence makes.
    struct Step {
        int sentence = -1;  // none
        bool onText = true;
    };
    virtual bool takesSentenceKeys() const { return true; }
    virtual Step step(int direction) const;

signals:
    // The mode has run its course (auto-browse declined going again): lesson
    // study takes over.
    void finished();

protected:
    StudySession& session_;

private:
    const int status_;
};
