#pragma once

// Recall-English: every English sentence hidden, each revealed and hidden
// again by a press on it; a press on a sound icon plays the sentence.

#include "study/StudyMode.h"

#include <vector>

class SentencePlayback;

class RecallEnglishMode : public StudyMode {
    Q_OBJECT
public:
    RecallEnglishMode(StudySession& session, SentencePlayback& playback, QObject* parent = nullptr);

    void enter() override;
    void leave() override;
    void sentencePressed(int n, HtmlElement* element, bool onText) override;
    Step step(int direction) const override;

    // Whether sentence n's English text shows.
    bool isEnglishShown(int n) const;
    // The first sentence whose English is still hidden, and the last one
    // shown; -1 for none.
    int firstHidden() const;
    int lastShown() const;

private:
    // Shows or hides every English text of the lesson.
    void showAllEnglish(bool shown);

    SentencePlayback& playback_;
    // Per sentence of the lesson; all shown when a lesson starts.
    std::vector<bool> englishShown_;
};
