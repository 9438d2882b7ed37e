#pragma once

// A page's elements as plain objects, read synchronously. Writes update the
// mirror at once and are passed on to a sink that brings them to the shown
// page (or, in tests, records them).

#include "platform/web/HtmlView.h"

#include <QHash>
#include <QString>

#include <memory>
#include <vector>

struct MirrorWrite {
    enum class Kind { Color, Cursor, MouseDownListener, TextMark, WordLocation, WordMarks, PointedWords };
    Kind kind;
    int elementIndex;  // -1 for none (a mark taken away)
    QString value;
    // A text mark's or a located word's characters.
    int from = 0;
    int length = 0;
};

class MirrorWriteSink {
public:
    virtual ~MirrorWriteSink() = default;
    // pageToken names the page instance the mirror was taken from.
    virtual void write(const QString& pageToken, const MirrorWrite& write) = 0;
};

struct MirrorElementData {
    QString tagName;
    QString id;
    QString innerHtml;
};

class MirrorDocument;

class MirrorElement : public HtmlElement {
public:
    MirrorElement(MirrorDocument& document, int index, MirrorElementData data);

    int index() const { return index_; }
    QString id() const override { return data_.id; }
    QString tagName() const override { return data_.tagName; }
    QString innerHtml() const override { return data_.innerHtml; }
    void setStyleColor(const QString& sixHexDigits) override;
    QString styleColor() const override { return color_; }
    void setStyleCursor(const QString& cursor) override;
    QString styleCursor() const override { return cursor_; }
    void setMouseDownHandler(std::shared_ptr<PageEventHandler> handler) override;
    std::shared_ptr<PageEventHandler> mouseDownHandler() const override { return handler_; }

private:
    MirrorDocument& document_;
    int index_;
    MirrorElementData data_;
    QString color_;
    QString cursor_;
    std::shared_ptr<PageEventHandler> handler_;
    bool listenerAttached_ = false;
};

class MirrorDocument : public HtmlDocument {
public:
    MirrorDocument(QString pageToken, std::vector<MirrorElementData> elements,
                   std::weak_ptr<MirrorWriteSink> sink);

    const QString& pageToken() const { return pageToken_; }
    int count() const override { return int(elements_.size()); }
    HtmlElement* item(int index) const override;
    HtmlElement* itemById(const QString& id) const override;
    HtmlEvent currentEvent() const override { return currentEvent_; }
    void markText(HtmlElement* element, int from, int length) override;
    void locateWord(HtmlElement* element, int from, int length) override;
    void markWords(const QStringList& words) override;
    void tellPointedWords(bool on) override;

    // Calls the element's mouse-down handler, if any, with the current event
    // set to "mousedown" on that element for the duration of the call.
    // Returns whether a handler was called.
    bool dispatchMouseDown(int index);

    void send(const MirrorWrite& write);

private:
    QString pageToken_;
    std::vector<std::unique_ptr<MirrorElement>> elements_;
    QHash<QString, MirrorElement*> elementsById_;
    std::weak_ptr<MirrorWriteSink> sink_;
    HtmlEvent currentEvent_;
};

// The type text of a mouse press event.
inline const QString kMouseDownEventType = QStringLiteral("mousedown");
