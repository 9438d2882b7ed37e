#pragma once

// One sentence of a lesson the learner brings: its English text, its
// Chinese translation (may be empty), when the text came with times
// (subtitles) or once it is aligned, where it starts in the recording, and
// where each of its words is spoken.

#include <QList>
#include <QString>

// One written word of a sentence and when it is spoken. A word said as
// several (a number, an abbreviation) is one entry; punctuation belongs to
// no word.
struct WordTime {
    int from = 0;       // its first character in the sentence's English text
    int length = 0;     // its characters there
    double start = 0;   // seconds into the recording
    double end = 0;

    bool operator==(const WordTime& other) const
    {
        return from == other.from && length == other.length && start == other.start && end == other.end;
    }
};

using WordTimes = QList<WordTime>;

struct LessonSentence {
    QString english;
    QString chinese;
    double start = -1;  // seconds; negative when not known yet
    WordTimes words;    // empty when not known

    bool operator==(const LessonSentence& other) const
    {
        return english == other.english && chinese == other.chinese && start == other.start && words == other.words;
    }
};

using LessonSentences = QList<LessonSentence>;
