#pragma once

// One lesson of an own volume as its files hold it, for the edits that
// rewrite its section of lesson.txt, its timing file, its word times and
// its unsure marks together (a split, a join, words found again).

#include "ownlessons/OwnVolume.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A lesson's files as they are, and its sentences read from them.
struct LessonFiles {
    QString lessonName, timingName, wordTimesName, unsureName;
    QList<QByteArray> lessonLines;
    int first = -1, end = -1;  // the lesson's section in lessonLines: [first, end)
    NewLesson lesson;
    QString error;
};

LessonFiles readLessonFiles(const QString& volumeFolder, int lessonIndex);

// Writes the lesson's sentences back, all its files in one change; why not, or empty.
QString writeLessonFiles(const QString& volumeFolder, LessonFiles files);
