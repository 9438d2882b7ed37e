#include "platform/web/PageMirror.h"

MirrorElement::MirrorElement(MirrorDocument& document, int index, MirrorElementData data)
    : document_(document), index_(index), data_(std::move(data))
{
}

void MirrorElement::setStyleColor(const QString& sixHexDigits)
{
    color_ = sixHexDigits;
    document_.send({MirrorWrite::Kind::Color, index_, sixHexDigits});
}

void MirrorElement::setStyleCursor(const QString& cursor)
{
    cursor_ = cursor;
    document_.send({MirrorWrite::Kind::Cursor, index_, cursor});
}

void MirrorElement::setMouseDownHandler(std::shared_ptr<PageEventHandler> handler)
{
    handler_ = std::move(handler);
    // One listener per element is enough: it asks the mirror for the handler
    // at press time, so replacing or clearing the handler needs no page write.
    if (handler_ && !listenerAttached_) {
        listenerAttached_ = true;
        document_.send({MirrorWrite::Kind::MouseDownListener, index_, QString()});
    }
}

MirrorDocument::MirrorDocument(QString pageToken, std::vector<MirrorElementData> elements,
                               std::weak_ptr<MirrorWriteSink> sink)
    : pageToken_(std::move(pageToken)), sink_(std::move(sink))
{
    elements_.reserve(elements.size());
    for (auto& data : elements) {
        auto element = std::make_unique<MirrorElement>(*this, int(elements_.size()), std::move(data));
        if (!element->id().isEmpty() && !elementsById_.contains(element->id()))
            elementsById_.insert(element->id(), element.get());
        elements_.push_back(std::move(element));
    }
}

HtmlElement* MirrorDocument::item(int index) const
{
    if (index < 0 || index >= count())
        return nullptr;
    return elements_[size_t(index)].get();
}

HtmlElement* MirrorDocument::itemById(const QString& id) const
{
    return elementsById_.value(id, nullptr);
}

bool MirrorDocument::dispatchMouseDown(int index)
{
    auto* element = static_cast<MirrorElement*>(item(index));
    if (!element)
        return false;
    // Held here so a handler that replaces itself still runs to its end.
    const std::shared_ptr<PageEventHandler> handler = element->mouseDownHandler();
    if (!handler)
        return false;
    // A handler may wait in a nested event loop where another press is
    // handled; each call restores the event it found.
    const HtmlEvent outerEvent = currentEvent_;
    currentEvent_ = {kMouseDownEventType, element};
    handler->My_Default_Method();
    currentEvent_ = outerEvent;
    return true;
}

void MirrorDocument::markText(HtmlElement* element, int from, int length)
{
    const auto* mirrored = dynamic_cast<const MirrorElement*>(element);
    const bool marked = mirrored && item(mirrored->index()) == element && length > 0;
    send({MirrorWrite::Kind::TextMark, marked ? mirrored->index() : -1, QString(), marked ? from : 0,
          marked ? length : 0});
}

void MirrorDocument::locateWord(HtmlElement* element, int from, int length)
{
    const auto* mirrored = dynamic_cast<const MirrorElement*>(element);
    if (mirrored && item(mirrored->index()) == element && length > 0)
        send({MirrorWrite::Kind::WordLocation, mirrored->index(), QString(), from, length});
}

void MirrorDocument::markWords(const QStringList& words) { send({MirrorWrite::Kind::WordMarks, -1, words.join(' ')}); }

void MirrorDocument::tellPointedWords(bool on) { send({MirrorWrite::Kind::PointedWords, -1, on ? "1" : ""}); }

void MirrorDocument::send(const MirrorWrite& write)
{
    if (auto sink = sink_.lock())
        sink->write(pageToken_, write);
}
