#include "study/LessonStudyMode.h"

#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

LessonStudyMode::LessonStudyMode(StudySession& session, SentencePlayback& playback, QObject* parent)
    : StudyMode(session, StatusLesson, parent), playback_(playback)
{
}

void LessonStudyMode::enter() {}

void LessonStudyMode::leave() {}

void LessonStudyMode::sentencePressed(int n, HtmlElement*, bool onText)
{
    session_.SetCurSentence(n);
    if (!onText)
        playback_.PlaySentence(n, true);
}
