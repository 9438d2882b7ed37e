#pragma once

// A sentence of an own lesson split in two, or two joined into one: the
// lesson's section of lesson.txt (its English and Chinese lines, numbered
// again), its timing file and its word times, in one change of the files.
// The later sentences move down or up one place with their words.

#include <QString>

// Splits sentence `sentence` (from 0) of lesson `lessonIndex`: the first half
// keeps its start, its English before character `at` and its Chinese line;
// the second has the English from `at` on and no Chinese line, and starts at
// `seconds`, or at its first word's start where that comes earlier. Each
// word goes with the half its text lies in. Refused (and nothing changed)
// when either half would have no text, or `seconds` does not lie inside the
// sentence. With `chineseAt`, the Chinese line is split there too, its rest
// going with the second half (as a join is undone). Returns why not, or empty.
QString splitSentence(const QString& volumeFolder, int lessonIndex, int sentence, double seconds, int at,
                      int chineseAt = -1);

// Joins sentence `sentence` and the one after it into one, starting where
// the first starts: the English lines with a space between, the Chinese
// lines one after the other, the words of both. Returns why not, or empty.
QString mergeSentences(const QString& volumeFolder, int lessonIndex, int sentence);
