#pragma once

// One lesson of a volume as every feature reads it: its title, its recording
// and timing file, its video where an own lesson has one, its sentences with their ranges in the recording and their
// words' times, and its word list.

#include "course/WordTime.h"

#include <QList>
#include <QString>

// A sentence's texts are as the course writes them (markup included: the
// page shows them rendered), without the English line's label and without
// the white space around them.
struct CourseSentence {
    QString english;
    QString chinese;
    double start = 0;  // seconds into the lesson's recording
    double end = -1;   // seconds; negative: the recording's end
    // When its words are spoken, where an own lesson keeps them; empty when
    // not known (or when the text changed after they were timed).
    WordTimes words;
};

struct CourseLesson {
    int index = -1;  // its position in the volume, from 0
    QString title;   // as the lesson list shows it, without its line end
    QString recording;
    QString timing;
    // An own lesson's video, when its reference names a file that is there;
    // the recording is the video's sound track, so its times are the video's.
    QString video;
    // The path the reference names when that file is not there: the lesson
    // plays as an audio lesson.
    QString missingVideo;
    QList<CourseSentence> sentences;
    // Why the lesson cannot be read or heard (Chinese); empty when it can.
    QString error;
};

// One entry of a lesson's word list; texts as the course writes them.
struct WordListEntry {
    QString word;
    QString phonetic;
    QString meaning;

    bool operator==(const WordListEntry& other) const
    {
        return word == other.word && phonetic == other.phonetic && meaning == other.meaning;
    }
};
