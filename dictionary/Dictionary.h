#pragma once

// The learner's English→Chinese dictionary: a SQLite file of headwords and
// the inflected forms that lead to them, read only. The file opens at the
// first lookup, so a run that never looks a word up never pays for it; a
// file that is missing, damaged or not a dictionary of ours is said in the
// lookup's problem, and nothing else changes.

#include "dictionary/DictionaryEntry.h"

#include <QString>

#include <memory>

class QSqlDatabase;
class QSqlQuery;

// Where the dictionary lies in a program folder.
QString dictionaryFile(const QString& programFolder);

class Dictionary {
public:
    explicit Dictionary(QString file);
    ~Dictionary();
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    // Everything the dictionary has for a word as written on a page: its own
    // headwords (exact case first) and those it is an inflection of; for a
    // word it does not know whole, its parts'.
    WordLookup lookup(const QString& written);

    // The headword spelled exactly so; an empty word when there is none.
    DictionaryEntry entry(const QString& word);

    const QString& file() const { return file_; }

private:
    bool open();
    QList<FoundEntry> find(const QString& word);
    QList<DictionaryEntry> entriesByKey(const QString& key);
    bool failed(const QSqlQuery& query);

    QString file_;
    QString connection_;
    bool opened_ = false;
    QString problem_;
    std::unique_ptr<QSqlQuery> byKey_, byWord_, lemmas_;
};
