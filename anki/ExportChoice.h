#pragma once

// Which sentences an Anki export takes, for the window and the command line
// alike: a whole volume, one lesson of it by its title, or the sentences the
// study record names. The package is then built by exportAnkiPackage
// (anki/AnkiPackage.h), on the caller's thread or an AnkiExportJob's.

#include "anki/CourseSentences.h"
#include "course/SentenceKey.h"

#include <QStringList>
#include <QVector>

class CourseLibrary;

// Every lesson's sentences, in lesson order; the first lesson that cannot be
// read gives the error. No sentences and no error for a volume without
// lessons.
LessonSentences volumeSentences(CourseLibrary& library, const CourseVolume& volume);

// The lesson titled `lessonTitle` (white space around it ignored), or the
// whole volume when `lessonTitle` is null; an error naming the volume's
// lessons when there is no such lesson, or saying it has none.
LessonSentences chosenSentences(CourseLibrary& library, const CourseVolume& volume, const QString& lessonTitle);

// The sentences the study record names (volume, lesson title, position), in
// the order named, each lesson read once; a position outside its lesson is
// passed over. `missingVolume` is set when a named volume is not on the
// books folders (a later one winning a name clash); the sentences are then
// empty.
LessonSentences recordedSentences(CourseLibrary& library, const QStringList& booksFolders,
                                  const QVector<SentenceKey>& keys, QString* missingVolume);
