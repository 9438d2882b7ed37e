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
    void readHistory(int request, const QString& volume, const QString& lesson, const QStringList& textHashes);
    void readMarks(int request, const QString& volume, const QStringList& titles);
    void readOverview(int request, const QString& volume, const QStringList& titles);
    void setDesiredRetention(double retention);
    void retireChanged(const QString& volume, const QString& lesson, const QStringList& textHashes);
    // Today's queue, the learner's local day.
    void readReviewQueue(int request, int limit);
    void readReviewOverview(int request);
    // Writes what is waiting and closes the file.
    void finish();

signals:
    // The record cannot be kept: why, said once. The study goes on without it.
    void failed(const QString& why);
    // A damaged file was moved aside and a new one started.
    void startedAnew(const QString& movedAside);
    void historyRead(int request, const AnswerHistory& history);
    void marksRead(int request, const QVector<int>& marks);
    void overviewRead(int request, const RecordOverview& overview);
    void reviewQueueRead(int request, const ReviewQueue& queue);
    void reviewOverviewRead(int request, const ReviewOverview& overview);

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
