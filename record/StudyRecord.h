#pragma once

// The learner's study record, kept in an SQLite file of its own: events are
// gathered here and written in batches on the record's thread; reads come
// back later as signals. When the file cannot be kept the study goes on and
// nothing is recorded.

#include "record/RecordEvent.h"
#include "record/ReviewState.h"

#include <QObject>
#include <QThread>
#include <QTimer>

class RecordWorker;

class StudyRecord : public QObject {
    Q_OBJECT
public:
    // Opens the record in `file` (its folder made when missing) on a thread
    // of its own.
    explicit StudyRecord(const QString& file, QObject* parent = nullptr);
    // Writes what is left and closes the file.
    ~StudyRecord() override;

    void add(const RecordEvent& event);
    // Sends what has gathered to the record's thread now.
    void send();
    // Writes everything gathered and waits until it is on disk.
    void flush();

    // The daily review's desired retention, within fsrs::Scheduler's bounds
    // (its default unless set).
    void setDesiredRetention(double retention);
    // The sentences of a lesson as its text is now, in lesson order: those of
    // its sentences in review whose text changed leave review.
    void lessonTexts(const QString& volume, const QString& lesson, const QStringList& textHashes);

    // Reads come back as the signals below, with the request's number.
    int readHistory(const QString& volume, const QString& lesson, const QStringList& textHashes);
    int readMarks(const QString& volume, const QStringList& titles);
    int readOverview(const QString& volume, const QStringList& titles);
    // The sentences due today across all volumes, most overdue first.
    int readReviewQueue(int limit = kDefaultDailyReviews);
    int readReviewOverview();

signals:
    // Said once each: the record is off, or a damaged file was moved aside.
    void problem(const QString& message);
    void historyRead(int request, const AnswerHistory& history);
    void marksRead(int request, const QVector<int>& marks);
    void overviewRead(int request, const RecordOverview& overview);
    void reviewQueueRead(int request, const ReviewQueue& queue);
    void reviewOverviewRead(int request, const ReviewOverview& overview);

private:
    QThread thread_;
    RecordWorker* worker_ = nullptr;
    RecordBatch gathered_;
    QTimer sendTimer_;
    int lastRequest_ = 0;
    bool off_ = false;
};
