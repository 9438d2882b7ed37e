#pragma once

// One sentence of a lesson the learner brings: its English text, its
// Chinese translation (may be empty), when the text came with times
// (subtitles) or once it is aligned, where it starts in the recording, and
// where each of its words is spoken.

#include "course/WordTime.h"

#include <QList>
#include <QString>

struct LessonSentence {
    QString english;
    QString chinese;
    double start = -1;  // seconds; negative when not known yet
    WordTimes words;    // empty when not known
    double end = -1;    // where its cue(s) end, when subtitles give it; not stored
    // The import could not confirm where it is spoken: named to the learner
    // until they set its start by hand.
    bool unsure = false;

    bool operator==(const LessonSentence& other) const
    {
        return english == other.english && chinese == other.chinese && start == other.start && end == other.end && words == other.words
               && unsure == other.unsure;
    }
};

using LessonSentences = QList<LessonSentence>;
