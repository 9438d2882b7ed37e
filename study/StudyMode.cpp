#include "study/StudyMode.h"

#include "study/StudySession.h"

StudyMode::StudyMode(StudySession& session, int status, QObject* parent)
    : QObject(parent), session_(session), status_(status)
{
}

bool StudyMode::isRunning() const { return session_.status() == status_; }

void StudyMode::toggle()
{
    if (isRunning())
        leave();
    else
        enter();
}

void StudyMode::sentencePressed(int, HtmlElement*, bool) {}

void StudyMode::rangeEnded() {}

void StudyMode::wavePlayerDone(int) {}
