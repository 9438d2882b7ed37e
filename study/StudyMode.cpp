#include "study/StudyMode.h"

#include "study/StudySession.h"

const char* const kAtLastSentence = "已经是最后一个句子了";

StudyMode::StudyMode(StudySession& session, int status, QObject* parent)
    : QObject(parent), session_(session), status_(status)
{
}

bool StudyMode::isRunning() const { return session_.status() == status_; }

void StudyMode::sentencePressed(int, HtmlElement*, bool) {}

void StudyMode::rangeEnded() {}

void StudyMode::wavePlayerDone(int) {}

StudyMode::Step StudyMode::step(int direction) const { return {session_.currentSentence() + direction, true}; }
