#pragma once

// The study record's thread: it alone opens, writes and reads the file, so a
// play or a key press never waits on the disk.

#include "record/RecordDatabase.h"

#include <QObject>

#include <memory>

class RecordWorker : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~RecordWorker() override;

public slots:
    void open(const QString& file);
    void write(const RecordBatch& events);
    void setDesiredRetention(double retention);
    void retireChanged(const QString& volume, const QString& lesson, const QStringList& textHashes);
    // Writes what is waiting and closes the file.
    void finish();

public:
    // The reads, called on the record's thread. A record that is off answers
    // each with an empty answer of the size asked for.
    AnswerHistory history(const QString& volume, const QString& lesson, const QStringList& textHashes) const;
    QVector<int> marks(const QString& volume, const QStringList& titles) const;
    RecordOverview overview(const QString& volume, const QStringList& titles) const;
    // Today's queue, the learner's local day.
    ReviewQueue reviewQueue(int limit) const;
    ReviewOverview reviewOverview() const;
    WordBook wordBook() const;

signals:
    // The record cannot be kept: why, said once. The study goes on without it.
    void failed(const QString& why);
    // A damaged file was moved aside and a new one started.
    void startedAnew(const QString& movedAside);

private:
    // Writes the events waiting; a file held by another program is tried
    // again with the next batch.
    void writeWaiting();
    // A failed write that was not for another program holding the file turns
    // the record off.
    void check(const QString& problem);

    std::unique_ptr<RecordDatabase> db_;
    qint64 session_ = -1;
    bool failed_ = false;
    RecordBatch waiting_;
};
