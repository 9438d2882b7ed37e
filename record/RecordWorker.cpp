#include "record/RecordWorker.h"

#include <QDateTime>
#include <QThread>

RecordWorker::~RecordWorker() = default;

void RecordWorker::open(const QString& file)
{
    db_ = std::make_unique<RecordDatabase>(QString("lexbay-record-%1").arg(quintptr(this)));
    QString movedAside;
    const QString problem = db_->open(file, &movedAside);
    if (!movedAside.isEmpty())
        emit startedAnew(movedAside);
    if (problem.isEmpty())
        session_ = db_->startSession(QDateTime::currentMSecsSinceEpoch());
    if (!problem.isEmpty() || session_ < 0) {
        failed_ = true;
        emit failed(problem.isEmpty() ? QString("无法写入 %1").arg(file) : problem);
    }
}

void RecordWorker::write(const RecordBatch& events)
{
    if (failed_)
        return;
    waiting_ += events;
    writeWaiting();
}

void RecordWorker::writeWaiting()
{
    const QString problem = db_->write(session_, waiting_);
    if (problem.isEmpty())
        waiting_.clear();
    else
        check(problem);
}

void RecordWorker::check(const QString& problem)
{
    if (problem.isEmpty() || db_->lastWriteWasBusy())
        return;
    failed_ = true;
    waiting_.clear();
    emit failed(problem);
}

void RecordWorker::setDesiredRetention(double retention)
{
    if (db_)
        db_->setDesiredRetention(retention);
}

// A file held by another program: the items stay until the lesson is next opened.
void RecordWorker::retireChanged(const QString& volume, const QString& lesson, const QStringList& textHashes)
{
    if (!failed_)
        check(db_->retireChangedItems(volume, lesson, textHashes));
}

ReviewQueue RecordWorker::reviewQueue(int limit) const
{
    return failed_ ? ReviewQueue() : db_->reviewQueue(QDate::currentDate(), limit);
}

WordBook RecordWorker::wordBook() const { return failed_ ? WordBook() : db_->wordBook(); }

ReviewOverview RecordWorker::reviewOverview() const
{
    return failed_ ? ReviewOverview() : db_->reviewOverview(QDate::currentDate());
}

AnswerHistory RecordWorker::history(const QString& volume, const QString& lesson,
                                    const QStringList& textHashes) const
{
    return failed_ ? AnswerHistory(textHashes.size()) : db_->answerHistory(volume, lesson, textHashes);
}

QVector<int> RecordWorker::marks(const QString& volume, const QStringList& titles) const
{
    return failed_ ? QVector<int>(titles.size(), NotStudied) : db_->lessonMarks(volume, titles);
}

RecordOverview RecordWorker::overview(const QString& volume, const QStringList& titles) const
{
    return failed_ ? RecordOverview() : db_->overview(volume, titles, QDateTime::currentMSecsSinceEpoch());
}

void RecordWorker::finish()
{
    if (!failed_ && !waiting_.isEmpty()) {
        // Another program holds the file: wait for it a while longer.
        for (int attempt = 0; attempt < 3 && !waiting_.isEmpty() && !failed_; ++attempt)
            writeWaiting();
    }
    // Leaving the program leaves the sentence being dictated.
    if (!failed_ && waiting_.isEmpty())
        db_->settleDictation(QDateTime::currentMSecsSinceEpoch());
    db_.reset();
}
