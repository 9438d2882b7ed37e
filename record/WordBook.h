#pragma once

// The learner's word book (生词本): each word kept, as the dictionary writes
// its headword, with the forms it is marked by on a page and the sentences
// it was met in.

#include "course/SentenceKey.h"

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVector>

struct WordMeeting {
    SentenceKey sentence;  // english and chinese as the record keeps them
    QString form;          // the word as the sentence writes it
    double clipStart = 0;  // the sentence's range in its recording, seconds
    double clipEnd = 0;
    qint64 at = 0;
};

struct SavedWord {
    QString word;
    // Every written form of it (the word, its inflections), lower-case.
    QStringList forms;
    qint64 addedAt = 0;
    QVector<WordMeeting> meetings;  // the latest first
};

// Most recently kept first.
using WordBook = QVector<SavedWord>;

Q_DECLARE_METATYPE(WordBook)
