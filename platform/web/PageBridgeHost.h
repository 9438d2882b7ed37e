#pragma once

#include <QObject>
#include <QString>
#include <QVariantList>

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
    // box: left, top, width, height in the page's CSS pixels.
    void wordChosen(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                    const QVariantList& box)
    {
        emit wordReceived(pageToken, elementIndex, from, length, text, box);
    }
    // elementIndex -1: the pointer is on no word.
    void wordPointedAt(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                       const QVariantList& box)
    {
        emit wordPointedAtReceived(pageToken, elementIndex, from, length, text, box);
    }

    // x, y: the pointer in the page's CSS pixels; elementIndex -1: none.
    void menuAsked(const QString& pageToken, int elementIndex, double x, double y)
    {
        emit menuReceived(pageToken, elementIndex, x, y);
    }

signals:
    void readyReceived(const QString& pageToken);
    void menuReceived(const QString& pageToken, int elementIndex, double x, double y);
    void pressReceived(const QString& pageToken, int elementIndex);
    void wordReceived(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                      const QVariantList& box);
    void wordPointedAtReceived(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                               const QVariantList& box);
};
