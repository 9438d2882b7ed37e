#include "study/RecallEnglishMode.h"

#include "study/SentenceElements.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

RecallEnglishMode::RecallEnglishMode(StudySession& session, SentencePlayback& playback, QObject* parent)
    : StudyMode(session, StatusThinkEnglish, parent), playback_(playback)
{
    connect(&session_, &StudySession::lessonStarted, this,
            [this] { englishShown_.assign(session_.sentenceCount(), true); });
}

void RecallEnglishMode::enter() { showAllEnglish(false); }

void RecallEnglishMode::leave() { showAllEnglish(true); }

// ↓ reveals the next hidden sentence, ↑ hides the last one shown.
RecallEnglishMode::Step RecallEnglishMode::step(int direction) const
{
    return {direction > 0 ? firstHidden() : lastShown(), true};
}

void RecallEnglishMode::showAllEnglish(bool shown)
{
    for (int i = 0; i < static_cast<int>(englishShown_.size()); ++i) {
        paint(session_.englishElement(i), shown ? kColourNormal : kColourHidden);
        englishShown_[i] = shown;
    }
}

void RecallEnglishMode::sentencePressed(int n, HtmlElement* element, bool onText)
{
    if (!onText) {
        playback_.PlaySentence(n, true);
        return;
    }
    if (n >= static_cast<int>(englishShown_.size()))
        return;
    englishShown_[n] = !englishShown_[n];
    paint(element, englishShown_[n] ? kColourNormal : kColourHidden);
}

bool RecallEnglishMode::isEnglishShown(int n) const
{
    return n >= 0 && n < static_cast<int>(englishShown_.size()) && englishShown_[n];
}

int RecallEnglishMode::firstHidden() const
{
    for (int n = 0; n < static_cast<int>(englishShown_.size()); ++n) {
        if (!englishShown_[n])
            return n;
    }
    return -1;
}

int RecallEnglishMode::lastShown() const
{
    for (int n = static_cast<int>(englishShown_.size()) - 1; n >= 0; --n) {
        if (englishShown_[n])
            return n;
    }
    return -1;
}
