#pragma once

// One sentence of a lesson the learner brings: its English text, its
// Chinese translation (may be empty) and, when the text came with times
// (subtitles), where it starts in the recording.

#include <QList>
#include <QString>

struct LessonSentence {
    QString english;
    QString chinese;
    double start = -1;  // seconds; negative when not known yet

    bool operator==(const LessonSentence& other) const
    {
        return english == other.english && chinese == other.chinese && start == other.start;
    }
};

using LessonSentences = QList<LessonSentence>;
