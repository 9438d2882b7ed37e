#pragma once

// Shadow-reading comparison: the learner records a reading of the current
// sentence, then hears it once, or alternately with the recording in a loop.
// The panel's view shows both readings, and each saved take is scored
// against the recording's sentence.

#include "platform/analysis/ReadingAnalyser.h"
#include "study/CompareStatus.h"
#include "study/StudyMode.h"

#include <QTimer>

class ComparisonView;
class MessageBoxes;
class QFrame;
class QLabel;
class QPushButton;
class QWidget;
class SentencePlayback;
class WaveDevice;

// The comparison panel's controls.
struct ComparePanel {
    QFrame* piCompare = nullptr;
    QPushButton* btRecord = nullptr;
    QPushButton* btStandard = nullptr;  // the recording's sentence
    QPushButton* btUser = nullptr;      // the learner's take
    QPushButton* btLoop = nullptr;
    QPushButton* btCompareNext = nullptr;
    QPushButton* btCompareStop = nullptr;
    QLabel* lbCompareStatus = nullptr;
    // The two readings, and the take's scores.
    ComparisonView* wvCompare = nullptr;
    QLabel* lbSimilarity = nullptr;
    QLabel* lbIntonation = nullptr;
};

class ComparisonMode : public StudyMode {
    Q_OBJECT
public:
    // The recorder takes the learner's voice; the wave player plays it back.
    ComparisonMode(StudySession& session, SentencePlayback& playback, MessageBoxes& messages, QWidget* window,
                   WaveDevice& recorder, WaveDevice& wavePlayer, const ComparePanel& panel,
                   QObject* parent = nullptr);

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
    bool hasUserVoice() const { return hasUserVoice_; }
    bool isComparePlaying() const { return comparePlaying_; }

public slots:
    void btRecord_Click();
    void btStandard_Click();
    void btUser_Click();
    void btLoop_Click();
    void btCompareNext_Click();
    void btCompareStop_Click();

signals:
    // The take's file cannot be prepared.
    void audioProblem(const QString& message);
    // A take of sentence n was saved, and a take of it began to play.
    void takeRecorded(int n);
    void takePlayed(int n);

private:
    void StopComparingForLeave();
    void StopPlayingCompareSnd();
    void PlayUserVoice();
    void CompareEndOfStandard();
    bool sentenceHasLength(int n) const;

    void showSentence();
    void forgetTake();
    void analyseTake();
    void showRecording(int ticket, const AnalysedReading& recording);
    void showTake(int ticket, const AnalysedReading& take, const ReadingScore& score);
    void showScores(const QString& similarity, const QString& intonation);
    void followPlayback();

    SentencePlayback& playback_;
    MessageBoxes& messages_;
    QWidget* window_;
    WaveDevice& recorder_;
    WaveDevice& wavePlayer_;
    ComparePanel panel_;

    CompareStatus compareStatus_ = CompareIdle;
    // A take of the learner's voice exists for this sentence.
    bool hasUserVoice_ = false;
    // A playback of the comparison is under way and its end not yet reported
    // by the wave player.
    bool comparePlaying_ = false;

    ReadingAnalyser analyser_;
    // The sentence the view shows, and the latest analyses asked for; older
    // answers are stale and dropped.
    SoundPart shownPart_;
    int recordingTicket_ = 0;
    int takeTicket_ = 0;
    // The sentence the take under analysis is scored against.
    SoundPart takePart_;
    // Moves the view's position mark while a reading plays.
    QTimer positionTimer_;
};
