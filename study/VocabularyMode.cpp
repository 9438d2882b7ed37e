#include "study/VocabularyMode.h"

#include "study/StudyStatus.h"

VocabularyMode::VocabularyMode(StudySession& session, QObject* parent) : StudyMode(session, StatusWords, parent) {}

void VocabularyMode::enter() {}

void VocabularyMode::leave() {}
