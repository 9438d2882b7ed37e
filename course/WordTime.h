#pragma once

// When the words of a sentence are spoken, as the course model reads them for
// a lesson that keeps them and the import finds them for a new one.

#include <QList>

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
