#pragma once

// Chinese subtitles given apart from the English ones: each sentence's
// Chinese line is the Chinese cue that shares the most time with the
// sentence's span (from its first cue's start to its last cue's end).

#include "ownlessons/SubtitleReader.h"

// Sets the Chinese line of every sentence some Chinese cue overlaps; a
// sentence none overlaps keeps the line it has (a bilingual cue's). Returns
// how many sentences got one.
int translateByOverlap(LessonSentences& sentences, const QList<SubtitleCue>& chinese);
