#include "anki/AnkiExportJob.h"

AnkiExportJob::AnkiExportJob(QList<ExportSentence> sentences, QString packageFile, int paddingMs, QObject* parent)
    : QObject(parent), sentences_(std::move(sentences)), packageFile_(std::move(packageFile)), paddingMs_(paddingMs)
{
}

AnkiExportJob::~AnkiExportJob()
{
    if (thread_) {
        cancel();
        thread_->wait();
    }
}

void AnkiExportJob::start()
{
    if (thread_)
        return;
    thread_ = QThread::create([this] {
        const AnkiExportResult result =
            exportAnkiPackage(sentences_, packageFile_, paddingMs_, [this](int done, int total) {
                emit progressed(done, total);
                return !cancelled_;
            });
        emit finished(result);
    });
    thread_->setParent(this);
    thread_->start();
}
