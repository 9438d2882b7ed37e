#pragma once

// An HTML view without a browser, for the window's unit tests. It reads the
// page file it is sent to with a small tokenizer that understands the pages
// this program generates (start tags and their ids in document order, the
// inner markup of links), completes the navigation later like the real view,
// records every colour and cursor write, and lets a test press an element.
// Unlike a browser it adds no implied elements (no TBODY).

#include "platform/web/HtmlView.h"
#include "platform/web/PageMirror.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <memory>
#include <vector>

class FakeHtmlView : public HtmlView {
    Q_OBJECT
public:
    struct StyleWrite {
        QString elementId;
        QString property;  // "color" or "cursor"
        QString value;     // as the caller wrote it: "009933", "hand"
        bool onShownPage;  // false: written to a page no longer shown
    };
    // A mark drawn over an element's text; no element id: the mark taken away.
    struct TextMark {
        QString elementId;
        int from;
        int length;
        bool onShownPage;
    };

    explicit FakeHtmlView(QObject* parent = nullptr);
    ~FakeHtmlView() override;

    void navigate(const QString& localFilePath) override;
    std::shared_ptr<HtmlDocument> document() const override { return document_; }
    QWidget* widget() override { return widget_; }
    void setPageLinks(PageLinks links) override { links_ = links; }

    const QStringList& navigations() const { return navigations_; }
    const std::vector<StyleWrite>& styleWrites() const { return styleWrites_; }
    void clearStyleWrites() { styleWrites_.clear(); }
    const std::vector<TextMark>& textMarks() const { return textMarks_; }

    // A mouse press on an element of the shown page: calls its handler with
    // the current event set. Returns whether a handler was called.
    bool press(HtmlElement* element);
    bool press(const QString& id);

    // A navigation the page starts, treated by the rule the real view
    // follows: raises beforeNavigate first unless it is dropped, then goes
    // there, asks for the address to be opened outside, or drops it.
    // Returns whether the navigation went ahead.
    bool followLink(const QUrl& url, bool pressed = true);

private:
    class WriteRecorder;
    void record(const QString& pageToken, const MirrorWrite& write);

    QPointer<QWidget> widget_;
    std::shared_ptr<WriteRecorder> recorder_;
    std::shared_ptr<MirrorDocument> document_;
    QHash<QString, std::weak_ptr<MirrorDocument>> documentsByToken_;
    QStringList navigations_;
    std::vector<StyleWrite> styleWrites_;
    std::vector<TextMark> textMarks_;
    int navigationCount_ = 0;
    PageLinks links_ = PageLinks::OwnPagesOnly;
};

// The elements of a page file as the fake sees them, for tests of the fake.
std::vector<MirrorElementData> tokenizePage(const QString& markup);
