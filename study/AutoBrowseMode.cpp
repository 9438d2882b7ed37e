#include "study/AutoBrowseMode.h"

#include "platform/system/MessageBoxes.h"
#include "platform/system/Waits.h"
#include "study/SentencePlayback.h"
#include "study/StudySession.h"
#include "study/StudyStatus.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kBrowseAgainQuestion = "自动浏览结束，需要再来一遍吗";

// Positions of the gap list.
enum { GapNone, GapOneSecond, GapTwoSeconds, GapOneLength, GapOneAndHalfLengths, GapTwoLengths, GapThreeLengths };

// Nearest whole number, halves to the even neighbour.
int roundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

AutoBrowseMode::AutoBrowseMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                               const BrowseChoices& panel, QObject* parent)
    : StudyMode(session, StatusBrowse, parent), playback_(playback), messages_(messages), panel_(panel)
{
}

void AutoBrowseMode::enter()
{
    playback_.stop();
    cancelPauses();
    repeatTimes_ = panel_.listedRepeatTimes();
    repeatCount_ = 0;
    playback_.PlaySentence(session_.currentSentence(), false);
}

void AutoBrowseMode::leave()
{
    cancelPauses();
    playback_.stop();
}

void AutoBrowseMode::cbRepeatTimes_Click() { repeatTimes_ = panel_.listedRepeatTimes(); }

AutoBrowseMode::Step AutoBrowseMode::step(int direction) const
{
    return {session_.currentSentence() + direction, false};
}

void AutoBrowseMode::SetBrowseGap(int nSentenceLength)
{
    switch (panel_.gapChoice()) {
    case GapNone: gapMs_ = 0; break;
    case GapOneSecond: gapMs_ = 1000; break;
    case GapTwoSeconds: gapMs_ = 2000; break;
    case GapOneLength: gapMs_ = nSentenceLength; break;
    case GapOneAndHalfLengths: gapMs_ = roundHalfEven(nSentenceLength * 1.5); break;
    case GapTwoLengths: gapMs_ = nSentenceLength * 2; break;
    case GapThreeLengths: gapMs_ = nSentenceLength * 3; break;
    default: break;  // nothing selected: the gap stays as it was
    }
}

void AutoBrowseMode::rangeEnded() { BrowseStep(); }

void AutoBrowseMode::BrowseStep()
{
    ++repeatCount_;
    if (repeatCount_ < repeatTimes_) {
        playback_.playAgain();
        return;
    }
    if (session_.currentSentence() < session_.sentenceCount() - 1) {
        pauseThenStep();
        return;
    }
    if (messages_.askYesNo(kBrowseAgainQuestion)) {
        session_.SetCurSentence(0);
        repeatCount_ = 0;
        playback_.PlaySentence(0, false);
    } else {
        emit finished();
    }
}

void AutoBrowseMode::pauseThenStep()
{
    // A pause of so many sentence lengths lasts as long as the sentence was
    // heard, at whatever speed it played.
    SetBrowseGap(roundHalfEven(playback_.heardSeconds() * 1000));
    playback_.prepareSentence(session_.currentSentence() + 1);
    const unsigned thisPause = ++latestPause_;
    // The next sentence is heard the player's output lead after it starts:
    // started that much sooner, it follows after the pause chosen.
    Delay(std::max(0, gapMs_ - int(std::lround(playback_.outputLeadSeconds() * 1000))));
    // Whatever happened during the pause (a stop, a jump, a restart, a later
    // pause, the window closing) has taken over from it.
    if (thisPause != latestPause_ || !isRunning())
        return;
    session_.SetCurSentence(session_.currentSentence() + 1);
    repeatCount_ = 0;
    playback_.PlaySentence(session_.currentSentence(), false);
}

void AutoBrowseMode::sentencePressed(int n, HtmlElement*, bool)
{
    cancelPauses();
    playback_.stop();
    session_.SetCurSentence(n);
    playback_.PlaySentence(n, true);
    repeatCount_ = 0;
}
