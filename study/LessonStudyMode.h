#pragma once

// Lesson study, the idle mode: the lesson page is shown, a press makes a
// sentence current, and a press on its sound icon plays it.

#include "study/StudyMode.h"

class SentencePlayback;

class LessonStudyMode : public StudyMode {
    Q_OBJECT
public:
    LessonStudyMode(StudySession& session, SentencePlayback& playback, QObject* parent = nullptr);

    void enter() override;
    // There is no leaving the idle mode: the other modes are entered from it.
    void leave() override;
    void sentencePressed(int n, HtmlElement* element, bool onText) override;

private:
    SentencePlayback& playback_;
};
