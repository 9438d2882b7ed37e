#pragma once

// An export for the window: runs on a thread of its own, tells its progress
// and its end by signals (delivered on the window's thread), and stops early
// when cancelled.

#include "anki/AnkiPackage.h"

#include <QObject>
#include <QThread>

#include <atomic>

class AnkiExportJob : public QObject {
    Q_OBJECT
public:
    AnkiExportJob(QList<ExportSentence> sentences, QString packageFile, int paddingMs, QObject* parent = nullptr);
    // Waits for the thread: cancels a running export first.
    ~AnkiExportJob() override;

    void start();
    void cancel() { cancelled_ = true; }

signals:
    void progressed(int done, int total);
    void finished(const AnkiExportResult& result);

private:
    QList<ExportSentence> sentences_;
    QString packageFile_;
    int paddingMs_;
    std::atomic<bool> cancelled_{false};
    QThread* thread_ = nullptr;
};
