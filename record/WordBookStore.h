#pragma once

// The word book in the study record's file. A word is kept once, however
// often it is saved; each sentence it is saved from is kept with it. The
// sentence's texts stay in the record when its lesson goes, so a word keeps
// where it was met.
//
// Writes run inside the record's write transaction, on the record's thread.

#include "record/WordBook.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>

class WordBookStore {
public:
    // The tables, for a new file and for one brought up from an older schema.
    static const QStringList& tableStatements();

    explicit WordBookStore(const QSqlDatabase& db) : db_(db) {}

    // sentence: its id in the record, -1 for a word met in no sentence.
    QSqlError save(qint64 sentence, const QString& word, const QStringList& forms, const WordMeeting& meeting);
    QSqlError remove(const QString& word);
    WordBook words() const;

private:
    const QSqlDatabase& db_;
};
