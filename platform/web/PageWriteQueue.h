#pragma once

#include "platform/web/PageMirror.h"

#include <QJsonArray>
#include <QObject>
#include <QPointer>

class QWebEnginePage;

// Collects the writes of one event-loop turn and brings them to the shown
// page as one script, in the order they were made. A lesson load makes
// hundreds of writes; one script per write would cost a round trip each.
class PageWriteQueue : public QObject, public MirrorWriteSink {
    Q_OBJECT
public:
    explicit PageWriteQueue(QWebEnginePage* page);

    // Only writes to the page shown now reach the browser.
    void setShownPageToken(const QString& pageToken);
    void write(const QString& pageToken, const MirrorWrite& write) override;

private:
    void flush();

    QPointer<QWebEnginePage> page_;
    QString shownPageToken_;
    QJsonArray pending_;
    bool flushScheduled_ = false;
};
