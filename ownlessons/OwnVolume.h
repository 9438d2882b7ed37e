#pragma once

// The learner's own volumes, $XDG_DATA_HOME/Lexbay/books/NAME/, in the
// course's layouts: lesson.txt and words.txt (GB18030, CR LF, one `$`
// section per lesson), and per lesson its recording and timing file
// tlx<N><LLL>.mp3 / .lrc, N the volume number its folder name gives and LLL
// the lesson's position from 1, and its word times when they are known
// (course/WordTimesFile.h), and for a video lesson its reference to the
// video, tlx<N><LLL>.video.txt, with the video itself when it was copied in
// as tlx<N><LLL>.<ext>. A file is found under its name in any letter
// case, as the window finds it. Every change is all or nothing.

#include "ownlessons/LessonSentence.h"

#include <QList>
#include "platform/system/CourseNames.h"

#include <QString>
#include <QStringList>

#include <vector>

class FileTransaction;

struct WordEntry {
    QString word;
    QString ipa;  // with its slashes, as the course writes it
    QString meaning;
};

// How many lessons lesson.txt of `volumeFolder` holds (0 when there is none).
int lessonCount(const QString& volumeFolder);

struct NewLesson {
    QString title;
    LessonSentences sentences;  // every start set, ascending
    QList<WordEntry> words;
    double recordingSeconds = 0;
};

// The lesson's section, word section and timing file in the course's bytes.
// Empty bytes and an error when a line cannot be written in the layout.
struct LessonBytes {
    QByteArray lesson;
    QByteArray words;
    QByteArray timing;
    QString error;
};
LessonBytes lessonBytes(const NewLesson& lesson);

// Stages lesson `lesson` as the next lesson of the volume folder into
// `transaction` (whose folder it is), its recording already staged by the
// caller, and its word times when any sentence has them. Returns the lesson's
// files, or an error.
struct StagedLesson {
    QStringList files;   // the final names, for the learner
    QString lessonFile;  // the staged lesson.txt and words.txt and timing file, for checking
    QString wordFile;
    QString timingFile;
    int lessonIndex = 0;
    QString error;
};
StagedLesson stageLesson(FileTransaction& transaction, const QString& volumeFolder, const NewLesson& lesson);

// Moves sentence `sentence`'s start of lesson `lessonIndex` by `delta`
// seconds, kept 0.01 s inside its neighbours (the next sentence, or the
// recording's end `recordingSeconds`); the sentence's first spoken word
// starts as much later or earlier. Returns the new start, or sets `error`.
double moveSentenceStart(const QString& volumeFolder, int lessonIndex, int sentence, double delta,
                         double recordingSeconds, QString* error);
// Sets several sentences' starts of lesson `lessonIndex` at once, in one
// change of its files: (sentence, start) each, each held as
// moveSentenceStart holds it, each first spoken word moving with its start.
// A start set by hand is no longer unsure.
// The starts they now have, in the order given; none, and `error` set, when
// nothing was changed.
std::vector<double> setSentenceStarts(const QString& volumeFolder, int lessonIndex,
                                      std::vector<std::pair<int, double>> starts, double recordingSeconds,
                                      QString* error);

// ".unsure.txt": the sentences of a lesson (their numbers from 1, a line
// each) whose times the import could not confirm; there only while some are.
extern const char* const kUnsureExtension;
QByteArray unsureBytes(const LessonSentences& sentences);
// Of `count` sentences, which the file's bytes name.
std::vector<bool> unsureFrom(const QByteArray& bytes, int count);

// The times lesson `lessonIndex` has in its files: each sentence's start,
// as its timing file gives it; each sentence's first spoken word's start
// where the lesson has word times (-1 otherwise); and its recording and
// the recording's length (0 when unknown). error says when the lesson has
// no timing file.
struct LessonTimes {
    std::vector<double> starts;
    std::vector<double> firstWords;
    std::vector<bool> unsure;
    QString recording;
    double recordingSeconds = 0;
    QString error;
};
LessonTimes lessonTimes(const QString& volumeFolder, int lessonIndex);

// The video lesson `lessonIndex` refers to: its path (empty for none) and
// whether it was copied in (then it goes with the lesson).
struct LessonVideo {
    QString path;
    bool copiedIn = false;
};
LessonVideo lessonVideo(const QString& volumeFolder, int lessonIndex);

// Removes lesson `lessonIndex`: its sections and its files, its video
// reference and a video copied in for it (never a video elsewhere); the
// files the later lessons have are renamed down by one, each in its own
// letter case.
// Returns an error, or empty.
QString removeLesson(const QString& volumeFolder, int lessonIndex);
