#include "platform/web/PageWriteQueue.h"

#include <QJsonDocument>
#include <QWebEnginePage>
#include <QWebEngineScript>

namespace {

QString pageColor(const QString& sixHexDigits)
{
    return QLatin1Char('#') + sixHexDigits;
}

QString pageCursor(const QString& cursor)
{
    return cursor == QLatin1String("hand") ? QStringLiteral("pointer") : cursor;
}

QJsonArray bridgeWrite(const MirrorWrite& write)
{
    switch (write.kind) {
    case MirrorWrite::Kind::Color:
        return {QStringLiteral("color"), write.elementIndex, pageColor(write.value)};
    case MirrorWrite::Kind::Cursor:
        return {QStringLiteral("cursor"), write.elementIndex, pageCursor(write.value)};
    case MirrorWrite::Kind::MouseDownListener:
        return {QStringLiteral("listen"), write.elementIndex};
    case MirrorWrite::Kind::TextMark:
        return {QStringLiteral("mark"), write.elementIndex, QJsonArray{write.from, write.length}};
    case MirrorWrite::Kind::WordLocation:
        return {QStringLiteral("locate"), write.elementIndex, QJsonArray{write.from, write.length}};
    case MirrorWrite::Kind::WordMarks:
        return {QStringLiteral("words"), -1, write.value};
    case MirrorWrite::Kind::PointedWords:
        return {QStringLiteral("rest"), -1, write.value};
    }
    return {};
}

QString toJson(const QJsonArray& array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

}

PageWriteQueue::PageWriteQueue(QWebEnginePage* page) : page_(page)
{
}

void PageWriteQueue::setShownPageToken(const QString& pageToken)
{
    shownPageToken_ = pageToken;
    pending_ = {};
}

void PageWriteQueue::write(const QString& pageToken, const MirrorWrite& write)
{
    if (pageToken.isEmpty() || pageToken != shownPageToken_)
        return;
    pending_.append(bridgeWrite(write));
    if (!flushScheduled_) {
        flushScheduled_ = true;
        QMetaObject::invokeMethod(this, &PageWriteQueue::flush, Qt::QueuedConnection);
    }
}

void PageWriteQueue::flush()
{
    flushScheduled_ = false;
    if (pending_.isEmpty() || !page_)
        return;
    // The token travels with the writes: the bridge drops them if the page
    // was replaced before the script arrived.
    const QString script = QStringLiteral("lexbay.apply(%1[0], %2);")
        .arg(toJson({shownPageToken_}), toJson(pending_));
    pending_ = {};
    page_->runJavaScript(script, QWebEngineScript::ApplicationWorld);
}
