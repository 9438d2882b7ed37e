#pragma once

// What the learner may change in a lesson of their own volumes: a sentence's
// start moved a little earlier or later (kept in the timing file at once and
// played again), and the whole lesson removed. The shipped course is never
// changed.

#include <QObject>
#include <QString>

class Catalogue;
class MessageBoxes;
class SentencePlayback;
class StudySession;

class OwnLessonEdits : public QObject {
    Q_OBJECT
public:
    OwnLessonEdits(Catalogue& catalogue, StudySession& session, SentencePlayback& playback, MessageBoxes& messages,
                   QObject* parent = nullptr);

    // Moves the current sentence's start by `seconds` (never past its
    // neighbours) and plays the sentence from there; in the shipped course
    // it only says that it changes nothing there. Always takes the key.
    bool moveSentenceStart(double seconds);
    // Whether the chosen lesson may be removed: one of an own volume.
    bool canRemoveLesson() const;
    // Removes the chosen lesson, once the learner confirms it, and loads the
    // lesson that takes its place.
    void removeLesson();

signals:
    // A word for the status bar.
    void notice(const QString& message);

private:
    Catalogue& catalogue_;
    StudySession& session_;
    SentencePlayback& playback_;
    MessageBoxes& messages_;
};
