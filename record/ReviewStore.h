#pragma once

// The daily review in the study record's file: the memory of each sentence
// and word in review and the log of its reviews. A sentence enters review the
// first time a dictation attempt on it settles or a reading of it is scored,
// and each later one reviews it again, scheduled by FSRS-6. A word enters
// when it is kept in the word book, due the next day, and leaves with it. Days are the learner's
// local calendar days, stored as Julian day numbers.
//
// Writes run inside the record's write transaction, on the record's thread.

#include "record/ReviewState.h"
#include "review/Fsrs.h"
#include "review/ReviewGrade.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QStringList>
#include <QVariant>

class ReviewStore {
public:
    // The tables and indexes, for a new file and for one brought up from an
    // older schema.
    static const QStringList& tableStatements();
    // The words' tables, for a new file and for one from before words were reviewed.
    static const QStringList& wordTableStatements();

    // db is the record's connection, opened later.
    explicit ReviewStore(const QSqlDatabase& db) : db_(db) {}

    void setDesiredRetention(double retention) { scheduler_ = fsrs::Scheduler(retention); }

    // A dictation answer: settles the open attempt on another sentence as
    // moved on, then reviews this one when its attempt settles.
    QSqlError answered(qint64 sentence, qint64 at, const review::DictationCheck& check);
    // The learner left the sentence being dictated (another lesson, the end).
    QSqlError movedOn(qint64 at);
    QSqlError review(qint64 sentence, qint64 at, fsrs::Grade grade);

    // A word kept in the word book enters review, unless it is there already.
    QSqlError enterWord(const QString& word, qint64 at);
    // Every word of the word book, for a file whose words were not in review.
    QSqlError enterSavedWords();
    // A word graded in the daily review; a word no longer kept is left out.
    QSqlError reviewWord(const QString& word, qint64 at, fsrs::Grade grade);
    // A word taken out of the word book leaves review; its log stays.
    QSqlError forgetWord(const QString& word);

    // The dictation attempt still open, kept aside while a transaction that
    // may be rolled back runs.
    struct OpenAttempt {
        qint64 sentence = -1;
        review::DictationAttempt attempt;
    };
    OpenAttempt openAttempt() const { return open_; }
    void restore(const OpenAttempt& open) { open_ = open; }

    // The lesson's sentences now have these texts: the review items of its
    // sentences whose text changed, or that it no longer has, leave review.
    QSqlError retireChanged(const QString& volume, const QString& lesson, const QStringList& textHashes);

    ReviewQueue queue(const QDate& day, int limit) const;
    DueCount dueCount(const QDate& day) const;
    ReviewOverview overview(const QDate& today) const;

private:
    struct Ledger;
    static const Ledger kSentences, kWords;

    QSqlError reviewIn(const Ledger& ledger, const QVariant& key, qint64 at, fsrs::Grade grade);

    const QSqlDatabase& db_;
    fsrs::Scheduler scheduler_;
    OpenAttempt open_;
};
