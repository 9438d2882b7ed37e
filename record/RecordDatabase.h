#pragma once

// The study record's SQLite file: its schema, how an older file is brought up
// to date, and the writes and reads of the record. Everything here runs on the
// record's own thread, on a connection of its own.

#include "record/RecordEvent.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QStringList>

class RecordDatabase {
public:
    // The schema this program writes. Version 1 had no speed for a play.
    static constexpr int kSchemaVersion = 2;

    explicit RecordDatabase(QString connectionName);
    ~RecordDatabase();
    RecordDatabase(const RecordDatabase&) = delete;
    RecordDatabase& operator=(const RecordDatabase&) = delete;

    // Opens the file, creating it and its folder. A file that is not a
    // database, or fails SQLite's integrity check, is moved aside as
    // "<file>.broken-<date>" (where to is put in *movedAside) and a new one is
    // started. Returns why the record cannot be kept; empty when it can.
    QString open(const QString& file, QString* movedAside);

    qint64 startSession(qint64 at);
    // Writes the events in one transaction; the session ends with the latest.
    // Returns what went wrong; empty when all was written.
    QString write(qint64 session, const RecordBatch& events);
    // Whether the last failed write failed only because another program held
    // the file for longer than the busy timeout: it can be tried again.
    bool lastWriteWasBusy() const { return lastWriteBusy_; }

    AnswerHistory answerHistory(const QString& volume, const QString& lesson, const QStringList& textHashes);
    QVector<int> lessonMarks(const QString& volume, const QStringList& titles);
    RecordOverview overview(const QString& volume, const QStringList& titles, qint64 now);

private:
    QString prepare();
    QString create();
    QString migrate(int fromVersion);
    qint64 sentenceId(const SentenceKey& key, QSqlError* error);
    bool exec(const QString& statement, QString* error);

    QString connectionName_;
    QSqlDatabase db_;
    QHash<QString, qint64> sentenceIds_;
    bool lastWriteBusy_ = false;
};
