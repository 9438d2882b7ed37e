#pragma once

// Lesson study, the idle mode: the lesson page is shown, a press makes a
// sentence current, and a press on its sound icon plays it.

#include "study/StudyMode.h"

class SentencePlayback;

class LessonStudyMode : public StudyMode {
    Q_OBJECT
public:
    LessonStudyMode(StudySession& session, SentencePlayback& playback, QObject* parent = nullptr);

    // Nothing to set up or end: the lesson page is what every mode starts from.
    void enter() override;
    void leave() override;
    void sentencePressed(int n, HtmlElement* element, bool onText) override;

private:
    SentencePlayback& playback_;
};
