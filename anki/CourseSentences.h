#pragma once

// The sentences of the course as an export needs them, read through the
// course model: a volume found in the books folders, its lesson titles, and a
// lesson's sentences with their ranges in its recording and its video.

#include "anki/ExportSentence.h"
#include "course/CourseVolume.h"

#include <QList>
#include <QString>
#include <QStringList>

class CourseLibrary;

// Found, or why not (a Chinese message naming what is missing).
struct LessonSentences {
    QList<ExportSentence> sentences;
    QString error;
};

// The volume `name` the run sees in the books folders: the shipped books,
// then the learner's own (which win a name clash). Empty folder when there is
// none.
CourseVolume findVolume(const QString& name, const QStringList& booksFolders);

// The lesson titles of a volume, in lesson order, without their line ends.
QStringList lessonTitles(CourseLibrary& library, const CourseVolume& volume);

// The sentences of lesson `lessonIndex` (from 0): English without its label,
// Chinese, and each one's range in the lesson's recording; the last range
// runs to the recording's end.
LessonSentences lessonSentences(CourseLibrary& library, const CourseVolume& volume, int lessonIndex);
