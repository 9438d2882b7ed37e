#pragma once

// Auto-browse: the lesson read aloud sentence by sentence from the current
// one, each a chosen number of times, with a pause after the last play for
// the learner to repeat it; at the end, a question whether to go again.

#include "study/StudyMode.h"

class MessageBoxes;
class SentencePlayback;

// What auto-browse reads of its panel.
class BrowseChoices {
public:
    virtual ~BrowseChoices() = default;
    // The number of plays per sentence the panel lists (1 to 5).
    virtual int listedRepeatTimes() const = 0;
    // The position chosen in the gap list (see SetBrowseGap); -1 for none.
    virtual int gapChoice() const = 0;
};

class AutoBrowseMode : public StudyMode {
    Q_OBJECT
public:
    AutoBrowseMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                   const BrowseChoices& panel, QObject* parent = nullptr);

    void enter() override;
    // Stops browsing: nothing more plays.
    void leave() override;
    // A jump: browsing goes on from sentence n with its full repeat count.
    void sentencePressed(int n, HtmlElement* element, bool onText) override;
    // Plays the sentence again, or pauses and goes on to the next, or asks at
    // the end of the lesson.
    void rangeEnded() override;
    // The arrow keys jump to the previous or next sentence and play it.
    Step step(int direction) const override;

    // How many times each sentence plays: the stored setting until the
    // learner picks from the list or browsing starts.
    int repeatTimes() const { return repeatTimes_; }
    void setRepeatTimes(int times) { repeatTimes_ = times; }

    // Sets the pause after a sentence of nSentenceLength ms from the gap list;
    // with nothing chosen there it stays as it was.
    void SetBrowseGap(int nSentenceLength);
    int gapMs() const { return gapMs_; }
    // Plays of the current sentence finished in this step.
    int repeatCount() const { return repeatCount_; }

    // No pause under way may step on when it is over (the window is closing).
    void cancelPauses() { ++latestPause_; }

public slots:
    // The learner picked a repeat count; it counts from the next range end.
    void cbRepeatTimes_Click();

private:
    void BrowseStep();
    void pauseThenStep();

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    const BrowseChoices& panel_;

    int repeatTimes_ = 0;
    int repeatCount_ = 0;
    int gapMs_ = 0;
    // Pauses nest: a jump, a stop or a restart during a pause may begin
    // another. Each pause takes a new number, and any of those events takes
    // one too, so only the latest pause can find its number still current.
    unsigned latestPause_ = 0;
};
