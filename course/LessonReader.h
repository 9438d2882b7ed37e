#pragma once

// The lessons of a volume, read through the course-data library: the titles
// and the sentence times by its exports, the sentences and the word list by
// the readers its page generators use, so every feature sees a lesson as the
// page shows it.

#include "course/CourseLesson.h"
#include "course/CourseVolume.h"

#include <QList>
#include <QStringList>

class CourseLibrary;

class LessonReader {
public:
    explicit LessonReader(CourseLibrary& library);

    // The lesson titles, in lesson order, without their line ends.
    QStringList titles(const CourseVolume& volume);
    // Lesson `index` (from 0) with every sentence and its range; no
    // sentences and an error when the lesson, its text, its recording or its
    // timing file is missing.
    CourseLesson lesson(const CourseVolume& volume, int index);
    // The word list of lesson `index` (from 0).
    QList<WordListEntry> words(const CourseVolume& volume, int index);

private:
    CourseLibrary& library_;
};
