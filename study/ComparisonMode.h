#pragma once

// Shadow-reading comparison: the learner records a reading of the current
// sentence, then hears it once, or alternately with the recording in a loop.
// The panel's view shows both readings, and each saved take is scored
// against the recording's sentence.

#include "platform/analysis/ReadingAnalyser.h"
#include "platform/pronunciation/PronunciationScore.h"
#include "study/CompareStatus.h"
#include "study/StudyMode.h"

#include <QString>
#include <QTimer>

#include <memory>
#include <vector>

class MessageBoxes;
class SentencePlayback;
class WaveDevice;

// What the panel shows of a take's pronunciation; all empty clears it.
struct PronunciationShown {
    QString pronunciation;  // 「发音：N」
    QString completeness;   // 「完整度：N%」
    std::vector<WordPronunciation> words;  // the sentence's words as said, each with its quality
    QString note;  // 「再练一下：word」, or why the pronunciation was not judged
};

// What the comparison shows on its panel: which buttons may be pressed, what
// it is doing, the two readings and where the playing one is, the scores.
class ComparePanelView {
public:
    enum Button { RecordButton, StandardButton, UserButton, LoopButton, NextButton, StopButton };
    enum Row { RecordingRow = 0, TakeRow = 1 };

    virtual ~ComparePanelView() = default;
    virtual void enableButton(Button button, bool enabled) = 0;
    virtual void showCompareStatus(const QString& text) = 0;
    // Null clears the row.
    virtual void showReading(Row row, std::shared_ptr<const VoiceProfile> reading) = 0;
    // The row that plays and how far into its audio, in seconds.
    virtual void showPlayPosition(Row row, double seconds) = 0;
    virtual void clearPlayPosition() = 0;
    virtual void showScores(const QString& similarity, const QString& intonation) = 0;
    virtual void showPronunciation(const PronunciationShown& shown) = 0;
};

class ComparisonMode : public StudyMode {
    Q_OBJECT
public:
    // The recorder takes the learner's voice; the wave player plays it back.
    ComparisonMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages, WaveDevice& recorder,
                   WaveDevice& wavePlayer, ComparePanelView& panel, QObject* parent = nullptr);

    void enter() override;
    // Ends whatever the mode was doing without starting anything.
    void leave() override;
    // Stops, makes sentence n current, and plays it from its sound icon.
    void sentencePressed(int n, HtmlElement* element, bool onText) override;
    void rangeEnded() override;
    void wavePlayerDone(int notifyCode) override;

    CompareStatus compareStatus() const { return compareStatus_; }
    // Sets the sub-status and the buttons and label that go with it.
    void SetComparingStatus(CompareStatus status);
    // A take of the learner's voice exists for the current sentence.
    bool hasTake() const { return hasTake_; }
    bool isComparePlaying() const { return comparePlaying_; }

public slots:
    void btRecord_Click();
    void btStandard_Click();
    void btUser_Click();
    void btLoop_Click();
    void btCompareNext_Click();
    // Ends what runs: a playback stops; a recording is kept, scored and
    // heard in the loop.
    void btCompareStop_Click();

signals:
    // The take's file cannot be prepared.
    void audioProblem(const QString& message);
    // A take of sentence n was saved, and a take of it began to play.
    void takeRecorded(int n);
    void takePlayed(int n);
    // A take of sentence n was scored against the recording: its similarity,
    // 0 … 100.
    void takeScored(int n, int similarity);

private:
    void endWhatRuns();
    void StopComparingForLeave();
    void startRecording();
    void finishRecording();
    void playStandard(CompareStatus status, bool stopFirst);
    void playTake(CompareStatus status);
    void StopPlayingCompareSnd();
    void CompareEndOfStandard();
    bool sentenceHasLength(int n) const;

    void showSentence();
    void forgetTake();
    void clearTakeAnalysis();
    void analyseTake();
    void showRecording(int ticket, const AnalysedReading& recording);
    void showTake(int ticket, const AnalysedReading& take, const ReadingScore& score);
    void showPronunciation(const PronunciationScore& score);
    void clearScores();
    void followPlayback();

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    WaveDevice& recorder_;
    WaveDevice& wavePlayer_;
    ComparePanelView& panel_;

    CompareStatus compareStatus_ = CompareIdle;
    bool hasTake_ = false;
    // A playback of the comparison is under way and its end not yet reported
    // by the wave player.
    bool comparePlaying_ = false;
    ReadingAnalyser analyser_;
    // The sentence the view shows, and the latest analyses asked for; older
    // answers are stale and dropped.
    SoundPart shownPart_;
    int recordingTicket_ = 0;
    int takeTicket_ = 0;
    // The sentence the take under analysis is scored against, and where the
    // analysis thread leaves the take's pronunciation.
    SoundPart takePart_;
    std::shared_ptr<PronunciationScore> takePronunciation_;
    // Moves the view's position mark while a reading plays.
    QTimer positionTimer_;
};
