#pragma once

// Sentences made due in a test's study record.

#include "anki/ExportSentence.h"

#include <QList>
#include <QString>
#include <QStringList>

// The study record's file in a window harness's folder.
inline constexpr char kRecordFile[] = "/record/study.sqlite";

// The first two sentences of the course's first lesson in the program folder
// `folder`, reviewed Good some days ago (the second earlier, so it is the
// more overdue): both due today.
QList<ExportSentence> reviewedLongAgo(const QString& folder);

// The first `count` sentences of the first lesson of the volume `volume` in
// the books folders `books` (shipped, then own), reviewed Good `daysAgo` days ago (each next one
// two days earlier), in the study record of the program folder `folder`.
QList<ExportSentence> reviewedDaysAgo(const QString& folder, const QStringList& books, const QString& volume,
                                      int count, int daysAgo);
