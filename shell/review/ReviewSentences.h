#pragma once

// Where a sentence in review is heard: its lesson's recording and its range
// there, read from the course folders without loading the lesson into the
// main window, and the video a video lesson plays from. Each lesson is read
// once per review window.

#include "anki/CourseSentences.h"
#include "record/RecordEvent.h"

#include <QHash>
#include <QStringList>

class CourseLibrary;

struct SentenceSound {
    QString recording;
    double start = 0;
    double end = -1;  // -1: to the recording's end
    // A video lesson's video, whose sound track the recording is; empty for
    // an audio lesson.
    QString video;
    // The video a video lesson names when it is not there: the sentence is
    // heard from the recording alone.
    QString missingVideo;
    // Why the sentence cannot be heard (Chinese); empty when it can.
    QString error;
};

class ReviewSentences {
public:
    // booksFolders: the shipped books, then the learner's own (which win).
    ReviewSentences(CourseLibrary& library, const QStringList& booksFolders);

    SentenceSound find(const SentenceKey& sentence);

private:
    const LessonSentences& lesson(const QString& volume, const QString& title);

    CourseLibrary& library_;
    QStringList books_;
    QHash<QString, LessonSentences> lessons_;
};
