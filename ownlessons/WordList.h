#pragma once

// The word list of a learner's lesson: the lesson's words beyond the most
// common ones of English, each with its IPA and an empty meaning; or the
// entries a word file in the course's layout gives.

#include "ownlessons/LessonSentence.h"
#include "ownlessons/OwnVolume.h"

#include <QList>
#include <QString>

// The words of the sentences, first appearance first, without the common
// ones, numbers and names' repeats; IPA from the synthetic voice.
QList<WordEntry> lessonWords(const LessonSentences& sentences);

// A word file's entries (word, IPA, meaning, one line each; `$` lines and
// empty lines between entries ignored). An error names an entry cut short.
QList<WordEntry> readWordFile(const QString& text, QString* error);
