#pragma once

// Sentences made due in a test's study record.

#include "anki/ExportSentence.h"

#include <QList>
#include <QString>

// The study record's file in a window harness's folder.
inline constexpr char kRecordFile[] = "/record/study.sqlite";

// The first two sentences of the course's first lesson in the program folder
// `folder`, reviewed Good some days ago (the second earlier, so it is the
// more overdue): both due today.
QList<ExportSentence> reviewedLongAgo(const QString& folder);
