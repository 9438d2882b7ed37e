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
    if (problem.isEmpty()) {
        waiting_.clear();
    } else if (!db_->lastWriteWasBusy()) {
        failed_ = true;
        waiting_.clear();
        emit failed(problem);
    }
}

void RecordWorker::readHistory(int request, const QString& volume, const QString& lesson,
                               const QStringList& textHashes)
{
    emit historyRead(request, failed_ ? AnswerHistory(textHashes.size())
                                      : db_->answerHistory(volume, lesson, textHashes));
}

void RecordWorker::readMarks(int request, const QString& volume, const QStringList& titles)
{
    emit marksRead(request, failed_ ? QVector<int>(titles.size(), NotStudied) : db_->lessonMarks(volume, titles));
}

void RecordWorker::readOverview(int request, const QString& volume, const QStringList& titles)
{
    emit overviewRead(request,
                      failed_ ? RecordOverview() : db_->overview(volume, titles, QDateTime::currentMSecsSinceEpoch()));
}

void RecordWorker::finish()
{
    if (!failed_ && !waiting_.isEmpty()) {
        // Another program holds the file: wait for it a while longer.
        for (int attempt = 0; attempt < 3 && !waiting_.isEmpty() && !failed_; ++attempt)
            writeWaiting();
    }
    db_.reset();
}
