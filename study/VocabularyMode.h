#pragma once

// Vocabulary: the lesson's word page in place of the lesson page. The window
// swaps the pages when the status changes; the mode itself keeps nothing.

#include "study/StudyMode.h"

class VocabularyMode : public StudyMode {
    Q_OBJECT
public:
    explicit VocabularyMode(StudySession& session, QObject* parent = nullptr);

    void enter() override;
    void leave() override;
    // The word page has no sentences to step through.
    bool takesSentenceKeys() const override { return false; }
};
