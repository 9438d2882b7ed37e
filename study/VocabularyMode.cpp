#include "study/VocabularyMode.h"

#include "study/StudySession.h"
#include "study/StudyStatus.h"

VocabularyMode::VocabularyMode(StudySession& session, QObject* parent) : StudyMode(session, StatusWords, parent) {}

void VocabularyMode::enter() { session_.SetStatus(StatusWords); }

void VocabularyMode::leave() { session_.SetStatus(StatusLesson); }
