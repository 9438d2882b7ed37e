#pragma once

// One sentence as it goes into an Anki package: its text, where it stands in
// the course, the stretch of its lesson's recording it is read in and, for a
// video lesson, the video its picture comes from.

#include <QString>
#include <QStringList>

struct ExportSentence {
    QString volume;       // the volume folder's name
    QString lessonTitle;  // as the lesson list shows it
    int number = 0;       // the sentence's position in its lesson, from 1
    QString english;      // without its label
    QString chinese;
    QString recording;  // the lesson's MP3
    double start = 0;   // seconds into the recording
    double end = -1;    // seconds; negative: the recording's end
    // A video lesson's video (absolute); the recording is its sound track, so
    // the recording's times are the video's. Empty for an audio lesson.
    QString video;
    // The video a video lesson names when it is not there: the sentence goes
    // out as an audio lesson's.
    QString missingVideo;

    // A word of the word book going out with this sentence, where it was met:
    // the note is the word's, the clip the sentence's. Empty for a sentence's
    // own note. A word met in no sentence that can still be heard has no
    // recording.
    QString word;
    QString wordForm;  // as the sentence writes it: in bold there
    QString phonetic;
    QStringList meanings;

    // What names the sentence (or the word) for good: the same sentence
    // exported again gets the same note and the same clip.
    QString key() const;
};
