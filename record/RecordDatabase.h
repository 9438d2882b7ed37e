#pragma once

// The study record's SQLite file: its schema, how an older file is brought up
// to date, and the writes and reads of the record. Everything here runs on the
// record's own thread, on a connection of its own.

#include "record/RecordEvent.h"
#include "record/ReviewStore.h"
#include "record/WordBookStore.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

#include <functional>

class RecordDatabase {
public:
    // The schema this program writes. Version 1 had no speed for a play,
    // version 2 no daily review, version 3 no word book, version 4 no review
    // of its words.
    static constexpr int kSchemaVersion = 5;

    explicit RecordDatabase(QString connectionName);
    ~RecordDatabase();
    RecordDatabase(const RecordDatabase&) = delete;
    RecordDatabase& operator=(const RecordDatabase&) = delete;

    // Opens the file, creating it and its folder. A file that is not a
    // database, or fails SQLite's integrity check, is moved aside as
    // "<file>.broken-<date>" (where to is put in *movedAside) and a new one is
    // started. Returns why the record cannot be kept; empty when it can.
    QString open(const QString& file, QString* movedAside);

    // Opens the file to read only, as it is: nothing is created, moved or
    // brought up to date. Returns why it cannot be read; empty when it can.
    QString openForReading(const QString& file);

    qint64 startSession(qint64 at);
    // Writes the events in one transaction; the session ends with the latest.
    // Returns what went wrong; empty when all was written.
    QString write(qint64 session, const RecordBatch& events);
    // Whether the last failed write failed only because another program held
    // the file for longer than the busy timeout: it can be tried again.
    bool lastWriteWasBusy() const { return lastWriteBusy_; }

    // The desired retention of the daily review, within fsrs::Scheduler's bounds.
    void setDesiredRetention(double retention) { reviews_.setDesiredRetention(retention); }
    // The dictation attempt still open settles: the learner moved on.
    QString settleDictation(qint64 at);
    // A lesson's sentences now have these texts: review items of its
    // sentences whose text changed leave review.
    QString retireChangedItems(const QString& volume, const QString& lesson, const QStringList& textHashes);

    AnswerHistory answerHistory(const QString& volume, const QString& lesson, const QStringList& textHashes);
    QVector<int> lessonMarks(const QString& volume, const QStringList& titles);
    RecordOverview overview(const QString& volume, const QStringList& titles, qint64 now);
    ReviewQueue reviewQueue(const QDate& day, int limit) const;
    DueCount dueCount(const QDate& day) const;
    ReviewOverview reviewOverview(const QDate& today) const;
    WordBook wordBook() const { return words_.words(); }

private:
    enum class Health { Sound, Damaged, Held };
    Health health();
    QString prepare();
    QString create();
    QString migrate(int fromVersion);
    qint64 sentenceId(const SentenceKey& key, QSqlError* error);
    // The lesson's sentences from `from`'s number on move `shift` places.
    QSqlError renumber(const SentenceKey& from, int shift);
    // Inside a write transaction.
    QSqlError writeEvents(qint64 session, const RecordBatch& events);
    bool exec(const QString& statement, QString* error);
    // Runs work in a transaction holding the write lock; what went wrong, or
    // empty.
    QString inWriteTransaction(const std::function<QSqlError()>& work);

    QString connectionName_;
    QSqlDatabase db_;
    QHash<QString, qint64> sentenceIds_;
    bool lastWriteBusy_ = false;
    // The last statement exec() ran failed because another copy held the file.
    bool lastExecBusy_ = false;
    ReviewStore reviews_{db_};
    WordBookStore words_{db_};
};
