#pragma once

// The learner's study record, kept in an SQLite file of its own: events are
// gathered here and written in batches on the record's thread; each read
// gives a reply of its own that is answered later on the thread the record
// was made on. When the file cannot be kept the study goes on and nothing is
// recorded.

#include "record/RecordEvent.h"
#include "record/ReviewState.h"
#include "record/WordBook.h"

#include <QFuture>
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

    // Each read is answered once, in the order asked, on the thread the record
    // was made on; whenAnswered() in record/RecordReply.h hands the answer
    // on. A record that is off answers with an empty answer; a record closed
    // before it answered cancels the reply.
    QFuture<AnswerHistory> readHistory(const QString& volume, const QString& lesson, const QStringList& textHashes);
    QFuture<QVector<int>> readMarks(const QString& volume, const QStringList& titles);
    QFuture<RecordOverview> readOverview(const QString& volume, const QStringList& titles);
    // The sentences due today across all volumes, most overdue first.
    QFuture<ReviewQueue> readReviewQueue(int limit = kDefaultDailyReviews);
    QFuture<ReviewOverview> readReviewOverview();
    // The word book, most recently kept first.
    QFuture<WordBook> readWordBook();

signals:
    // Said once each: the record is off, or a damaged file was moved aside.
    void problem(const QString& message);

private:
    // Sends what has gathered, then runs `read` on the record's thread and
    // answers the reply with its result back on this object's thread.
    template <typename Answer, typename Read>
    QFuture<Answer> ask(Read read);

    QThread thread_;
    RecordWorker* worker_ = nullptr;
    RecordBatch gathered_;
    QTimer sendTimer_;
    bool off_ = false;
};
