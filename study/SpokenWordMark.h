#pragma once

// While a sentence of the lesson's recording plays, the word being spoken is
// marked on the lesson page, from the session's word times and the playback
// position, read again when the next word starts or the spoken one ends (at
// the playback's speed); the mark goes when the playback ends or stops. A
// sentence without word times (the shipped course) shows nothing, and one
// whose English line is hidden (recall-English) does not give its words away.
// The page draws the mark over its text: the text, the elements the modes use
// and their colours stay as they are.

#include <QObject>
#include <QString>
#include <QTimer>

class SentencePlayback;
class StudySession;

class SpokenWordMark : public QObject {
    Q_OBJECT
public:
    SpokenWordMark(const StudySession& session, const SentencePlayback& playback, QObject* parent = nullptr);

private:
    void sentenceStarted(int n);
    void follow();
    void end();
    void mark(int word);

    const StudySession& session_;
    const SentencePlayback& playback_;
    // When the position is read next while a sentence with word times plays.
    QTimer tick_;
    int sentence_ = -1;
    int marked_ = -1;
    // Where the timed text begins in the element's text.
    int textStart_ = 0;
};
