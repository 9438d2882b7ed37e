#pragma once

// The staged program's import of a bench recording, as a learner runs it,
// and what it gave judged against what the bench knows of the recording:
// where each sentence's speech lies and, where the voice tells, where each
// word begins. Each judge prints its lines and gives its figures back.

#include "BenchRecordings.h"

#include <QSet>
#include <QString>

#include <vector>

struct Imported {
    bool ok = false;
    double seconds = 0, cpu = 0;
    long peakMegabytes = 0;
    std::vector<double> starts;
    QSet<int> unsure;  // sentences named, from 0
    QString wordTimes;  // the lesson's word-times file
};

// `Lexbay --import` without a display, its data under `folder`.
Imported importWithProgram(const BenchRecording& recording, const QString& folder);

struct StartsVerdict {
    int sentences = 0;
    int outside = 0;        // starts outside the pause before their sentence
    int offNotNamed = 0;    // more than 0.3 s outside and not named as unsure
    int named = 0;
    int namedRight = 0;     // named, yet in their pause
};
StartsVerdict judgeStarts(const BenchRecording& recording, const Imported& imported);

struct WordsVerdict {
    int compared = 0;       // words of the word-times file with a known start
    double meanMs = 0;
    double within50 = 0, within100 = 0;  // per cent
    int outsideSpan = 0;    // words of the file outside their sentence's span
    int incomplete = 0;     // sentences not named that lack some of their words
};
// The word-times file the import wrote, against the voice's word starts.
WordsVerdict judgeWords(const BenchRecording& recording, const Imported& imported);
