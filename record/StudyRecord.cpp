#include "record/StudyRecord.h"

#include "record/RecordWorker.h"

#include <QPromise>

#include <memory>

namespace {

// How long events gather before they are written, and how many at most.
constexpr int kGatherMs = 500;
constexpr int kBatchLimit = 64;

}  // namespace

StudyRecord::StudyRecord(const QString& file, QObject* parent) : QObject(parent)
{
    qRegisterMetaType<RecordBatch>();
    qRegisterMetaType<AnswerHistory>();
    qRegisterMetaType<RecordOverview>();
    qRegisterMetaType<ReviewQueue>();
    qRegisterMetaType<ReviewOverview>();
    qRegisterMetaType<WordBook>();
    worker_ = new RecordWorker;
    worker_->moveToThread(&thread_);
    connect(&thread_, &QThread::finished, worker_, &QObject::deleteLater);
    connect(worker_, &RecordWorker::failed, this, [this](const QString& why) {
        off_ = true;
        gathered_.clear();
        emit problem(QString("学习记录已停用：%1").arg(why));
    });
    connect(worker_, &RecordWorker::startedAnew, this, [this](const QString& aside) {
        emit problem(QString("学习记录文件已损坏，已移到 %1 并重新开始记录").arg(aside));
    });
    sendTimer_.setSingleShot(true);
    sendTimer_.setInterval(kGatherMs);
    connect(&sendTimer_, &QTimer::timeout, this, &StudyRecord::send);
    thread_.setObjectName("study record");
    thread_.start();
    QMetaObject::invokeMethod(worker_, "open", Qt::QueuedConnection, Q_ARG(QString, file));
}

StudyRecord::~StudyRecord()
{
    send();
    QMetaObject::invokeMethod(worker_, "finish", Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void StudyRecord::add(const RecordEvent& event)
{
    if (off_)
        return;
    gathered_.append(event);
    if (gathered_.size() >= kBatchLimit)
        send();
    else if (!sendTimer_.isActive())
        sendTimer_.start();
}

void StudyRecord::send()
{
    sendTimer_.stop();
    if (gathered_.isEmpty())
        return;
    QMetaObject::invokeMethod(worker_, "write", Qt::QueuedConnection, Q_ARG(RecordBatch, gathered_));
    gathered_.clear();
}

void StudyRecord::flush()
{
    send();
    // Queued after the batch: when it has run, the batch is written.
    QMetaObject::invokeMethod(worker_, [] {}, Qt::BlockingQueuedConnection);
}

template <typename Answer, typename Read>
QFuture<Answer> StudyRecord::ask(Read read)
{
    send();
    // Shared, as the calls below are copied; the last copy to go cancels a
    // reply never answered (the record closed first).
    auto reply = std::make_shared<QPromise<Answer>>();
    reply->start();
    QFuture<Answer> future = reply->future();
    // The answer is given on this object's thread, so that what runs on it
    // runs there and a receiver it checks cannot go away meanwhile.
    QMetaObject::invokeMethod(
        worker_,
        [this, reply, read = std::move(read)] {
            Answer answer = read(*worker_);
            QMetaObject::invokeMethod(
                this,
                [reply, answer = std::move(answer)] {
                    reply->addResult(answer);
                    reply->finish();
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    return future;
}

QFuture<AnswerHistory> StudyRecord::readHistory(const QString& volume, const QString& lesson,
                                                const QStringList& textHashes)
{
    return ask<AnswerHistory>(
        [=](const RecordWorker& worker) { return worker.history(volume, lesson, textHashes); });
}

QFuture<QVector<int>> StudyRecord::readMarks(const QString& volume, const QStringList& titles)
{
    return ask<QVector<int>>([=](const RecordWorker& worker) { return worker.marks(volume, titles); });
}

QFuture<RecordOverview> StudyRecord::readOverview(const QString& volume, const QStringList& titles)
{
    return ask<RecordOverview>([=](const RecordWorker& worker) { return worker.overview(volume, titles); });
}

void StudyRecord::setDesiredRetention(double retention)
{
    QMetaObject::invokeMethod(worker_, "setDesiredRetention", Qt::QueuedConnection, Q_ARG(double, retention));
}

void StudyRecord::lessonTexts(const QString& volume, const QString& lesson, const QStringList& textHashes)
{
    send();
    QMetaObject::invokeMethod(worker_, "retireChanged", Qt::QueuedConnection, Q_ARG(QString, volume),
                              Q_ARG(QString, lesson), Q_ARG(QStringList, textHashes));
}

QFuture<ReviewQueue> StudyRecord::readReviewQueue(int limit)
{
    return ask<ReviewQueue>([=](const RecordWorker& worker) { return worker.reviewQueue(limit); });
}

QFuture<WordBook> StudyRecord::readWordBook()
{
    return ask<WordBook>([](const RecordWorker& worker) { return worker.wordBook(); });
}

QFuture<ReviewOverview> StudyRecord::readReviewOverview()
{
    return ask<ReviewOverview>([](const RecordWorker& worker) { return worker.reviewOverview(); });
}
