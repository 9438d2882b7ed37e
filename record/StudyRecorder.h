#pragma once

// Writes what the learner does into the study record, as the study objects
// tell it: lessons loaded, sentences played, dictation answers checked,
// comparison takes recorded and played. It also keeps the current lesson's
// dictation history, for the hard sentences.

#include "record/RecordEvent.h"

#include <QFuture>
#include <QObject>
#include <QStringList>

#include <vector>

class DictationMode;
class ComparisonMode;
class SentencePlayback;
class StudyRecord;
class StudySession;

class StudyRecorder : public QObject {
    Q_OBJECT
public:
    StudyRecorder(StudyRecord& record, const StudySession& session, const SentencePlayback& playback,
                  const DictationMode& dictation, const ComparisonMode& comparison, QObject* parent = nullptr);

    // The current lesson's hard sentences, in lesson order.
    std::vector<int> hardSentences() const;
    // The current lesson's sentences as the record knows them.
    const QVector<SentenceKey>& sentences() const { return sentences_; }

public slots:
    // A take of sentence n was scored against the recording, 0 … 100: the
    // sentence is reviewed with the grade its similarity earns.
    void takeScored(int n, int similarity);

signals:
    // A dictation answer or a scored take has gone to the record, where it
    // grades the sentence for review: a read of the review queue made from
    // now on sees it.
    void sentenceGraded(int n);

private:
    void lessonStarted();
    void keep(RecordEvent::Kind kind, int sentence, RecordEvent event = {});
    void answerChecked(int n, bool right, int firstWrong, bool englishHint, bool chineseHint);

    StudyRecord& record_;
    const StudySession& session_;
    const SentencePlayback& playback_;
    QVector<SentenceKey> sentences_;
    AnswerHistory history_;
    // Answers given while the lesson's history was being read.
    QVector<QPair<int, bool>> answersSinceRead_;
    // The lesson's history while it is being read.
    QFuture<AnswerHistory> historyReply_;
};
