#pragma once

// The word book as it goes to Anki: each kept word with the sentence it was
// last met in, that sentence's range read through the course model as its
// lesson is now (found by its number and its English), and the word's
// phonetic and meanings. A word whose sentence is no longer in the course
// keeps the sentence's text and goes without sound.

#include "anki/ExportSentence.h"
#include "record/WordBook.h"

#include <QList>
#include <QStringList>

#include <functional>

class CourseLibrary;

struct WordMeaning {
    QString phonetic;
    QStringList meanings;
};

QList<ExportSentence> wordBookSentences(const WordBook& book, CourseLibrary& library, const QStringList& booksFolders,
                                        const std::function<WordMeaning(const QString& word)>& meaningOf);
