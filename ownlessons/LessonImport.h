#pragma once

// One recording and its text (or subtitles) made a lesson of the learner's
// own volume: the recording (or a video's sound track) stored as MP3, the
// sentences timed (by the aligner, or by the subtitles' cues), the lesson's
// sections and files written in the course's layouts and read back through
// the course-data library before anything is put in place. A video stays
// where it is (or is copied in) and the lesson keeps a reference to it. A
// bad input or a failure leaves the volume as it was.
//
// importLesson() blocks; run it on a worker thread. It reports progress
// through a callback and stops when the cancel flag is set.

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

struct ImportRequest {
    QString booksFolder;    // the learner's own books folder
    QString shippedBooks;   // the books folder that comes with the program
    QString programFolder;  // holds the course-data library and the page heads
    QString volume;         // the volume folder's name
    QString title;          // empty: the recording's base name
    QString audioPath;      // a sound file, or a video: its sound track is the recording
    QString textPath;       // text, or subtitles (.srt, .vtt, .ass, .ssa, .lrc); empty: a video's text track
    QString translationPath;  // optional Chinese subtitles, matched to the sentences by time
    QString wordsPath;      // optional word list in the course's layout
    int textTrack = -1;     // with no text: the video's text track (mediaStreamsOf()'s order); -1 the first English one
    bool mergeCues = false;
    bool copyVideo = false;
    bool align = false;      // subtitles re-timed against the sound, their cues' times the first pass  // a video is copied into the volume; otherwise the lesson refers to it where it is
};

struct ImportResult {
    QString error;          // empty on success
    QString volumeFolder;
    int lessonIndex = -1;   // the new lesson's position in the volume, from 0
    QStringList files;      // the lesson's files
    QStringList unsure;     // "第 7 句的时间可能不准", one per unsure sentence
};

// Per cent of the whole import, and the sentence being read (1-based, 0
// when the step is not per sentence) of `count`.
using ImportProgress = std::function<void(int percent, int sentence, int count)>;

ImportResult importLesson(const ImportRequest& request, const ImportProgress& progress = {},
                          const std::atomic_bool* cancel = nullptr);
