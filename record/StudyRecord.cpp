#include "record/StudyRecord.h"

#include "record/RecordWorker.h"

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
    connect(worker_, &RecordWorker::historyRead, this, &StudyRecord::historyRead);
    connect(worker_, &RecordWorker::marksRead, this, &StudyRecord::marksRead);
    connect(worker_, &RecordWorker::overviewRead, this, &StudyRecord::overviewRead);
    connect(worker_, &RecordWorker::reviewQueueRead, this, &StudyRecord::reviewQueueRead);
    connect(worker_, &RecordWorker::reviewOverviewRead, this, &StudyRecord::reviewOverviewRead);
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

int StudyRecord::readHistory(const QString& volume, const QString& lesson, const QStringList& textHashes)
{
    send();
    QMetaObject::invokeMethod(worker_, "readHistory", Qt::QueuedConnection, Q_ARG(int, ++lastRequest_),
                              Q_ARG(QString, volume), Q_ARG(QString, lesson), Q_ARG(QStringList, textHashes));
    return lastRequest_;
}

int StudyRecord::readMarks(const QString& volume, const QStringList& titles)
{
    send();
    QMetaObject::invokeMethod(worker_, "readMarks", Qt::QueuedConnection, Q_ARG(int, ++lastRequest_),
                              Q_ARG(QString, volume), Q_ARG(QStringList, titles));
    return lastRequest_;
}

int StudyRecord::readOverview(const QString& volume, const QStringList& titles)
{
    send();
    QMetaObject::invokeMethod(worker_, "readOverview", Qt::QueuedConnection, Q_ARG(int, ++lastRequest_),
                              Q_ARG(QString, volume), Q_ARG(QStringList, titles));
    return lastRequest_;
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

int StudyRecord::readReviewQueue(int limit)
{
    send();
    QMetaObject::invokeMethod(worker_, "readReviewQueue", Qt::QueuedConnection, Q_ARG(int, ++lastRequest_),
                              Q_ARG(int, limit));
    return lastRequest_;
}

int StudyRecord::readReviewOverview()
{
    send();
    QMetaObject::invokeMethod(worker_, "readReviewOverview", Qt::QueuedConnection, Q_ARG(int, ++lastRequest_));
    return lastRequest_;
}
