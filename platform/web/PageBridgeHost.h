#pragma once

#include <QObject>
#include <QString>

// The object the page's bridge script talks to over the web channel. Its
// signals are meant for queued connections, so that nothing the view does
// runs inside the channel's own message dispatch.
class PageBridgeHost : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

public slots:
    void ready(const QString& pageToken) { emit readyReceived(pageToken); }
    void pressed(const QString& pageToken, int elementIndex) { emit pressReceived(pageToken, elementIndex); }

signals:
    void readyReceived(const QString& pageToken);
    void pressReceived(const QString& pageToken, int elementIndex);
};
