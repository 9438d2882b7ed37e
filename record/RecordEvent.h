#pragma once

// What the study record keeps: one event of the learner's study, with its
// time and the sentence it concerns.

#include "course/SentenceKey.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

struct RecordEvent {
    // TakeScored: a take was scored against the recording (similarity);
    // Reviewed: the learner graded a sentence, or a word of the word book
    // when word is set, in the daily review (grade);
    // WordSaved: a word met in the sentence went into the word book (word,
    // forms, form, clip); WordRemoved: a word left the word book (word only);
    // SentencesRenumbered: the lesson's sentences from sentence.number on
    // moved `shift` places, as a sentence was split or two were joined.
    enum Kind {
        LessonLoad,
        Play,
        DictationAnswer,
        TakeRecorded,
        TakePlayed,
        TakeScored,
        Reviewed,
        WordSaved,
        WordRemoved,
        SentencesRenumbered
    };

    Kind kind = Play;
    qint64 at = 0;  // milliseconds since 1970-01-01 UTC
    SentenceKey sentence;  // for a lesson load only its volume and lesson
    int mode = 0;          // the study status a sentence played in
    int speedPercent = 100;
    int sentenceCount = 0;  // of a loaded lesson
    bool right = false;
    int firstWrong = -1;
    bool englishHint = false;
    bool chineseHint = false;
    int similarity = -1;   // 0 … 100
    int grade = 0;         // 1 Again, 2 Hard, 3 Good, 4 Easy
    QString word;          // the headword kept or removed
    QStringList forms;     // its written forms, lower-case
    QString form;          // as the sentence writes it
    double clipStart = 0;  // the sentence's range in its recording
    double clipEnd = 0;
    int shift = 0;         // of renumbered sentences
};

using RecordBatch = QVector<RecordEvent>;

// Of each sentence of a lesson, in lesson order, its dictation answers in the
// order given: true for right.
using AnswerHistory = QVector<QVector<bool>>;

// What the record window shows of the current volume and lesson.
struct RecordOverview {
    struct Day {
        QString date;  // yyyy-MM-dd, the learner's local day
        double minutes = 0;
    };
    struct Lesson {
        QString title;
        int timesStudied = 0;
        int rightAtFirstTry = 0;
        int sentences = 0;
        QString lastStudied;  // yyyy-MM-dd; empty when never
    };
    QVector<Day> days;  // the last 30 days, oldest first
    QVector<Lesson> lessons;
};

// How a lesson of the list is marked.
enum LessonMark { NotStudied = 0, Studied = 1, AllDictatedRight = 2 };

Q_DECLARE_METATYPE(RecordBatch)
Q_DECLARE_METATYPE(AnswerHistory)
Q_DECLARE_METATYPE(RecordOverview)
