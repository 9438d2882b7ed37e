#pragma once

// What the window needs of an embedded HTML view: navigate to a local page,
// learn when it is complete, read its elements, colour them and hear presses
// on them. Reads are synchronous; writes reach the shown page later, in order.

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <memory>

class QWidget;

// What a view does with the navigations its page starts by itself.
enum class PageLinks {
    // The page holds course text: only the view's own navigate() loads. A
    // link the learner presses goes to the desktop when it is a web or mail
    // address; everything else is dropped.
    OwnPagesOnly,
    // The page is the program's own: local addresses load in the view, any
    // other address goes to the desktop (a frame's is dropped).
    Followed,
};

// The object a page calls, with no arguments, for an event on an element it
// is attached to.
class PageEventHandler {
public:
    virtual ~PageEventHandler() = default;
    virtual void My_Default_Method() = 0;
};

class HtmlElement {
public:
    virtual ~HtmlElement() = default;
    virtual QString id() const = 0;           // empty when the element has none
    virtual QString tagName() const = 0;      // upper case: "A", "IMG"
    // The content of a link (A) as markup, as the browser holds it: line ends
    // are LF, entities as written. Other elements read empty.
    virtual QString innerHtml() const = 0;
    // Six hexadecimal digits without "#", e.g. "009933".
    virtual void setStyleColor(const QString& sixHexDigits) = 0;
    virtual QString styleColor() const = 0;   // as last set, empty before
    // "hand" shows the pointing hand.
    virtual void setStyleCursor(const QString& cursor) = 0;
    virtual QString styleCursor() const = 0;  // as last set, empty before
    virtual void setMouseDownHandler(std::shared_ptr<PageEventHandler> handler) = 0;
    virtual std::shared_ptr<PageEventHandler> mouseDownHandler() const = 0;
};

struct HtmlEvent {
    QString type;
    HtmlElement* srcElement = nullptr;
};

// Element pointers stay valid as long as their document object lives. Writes
// to a document that is no longer shown change nothing on the shown page.
class HtmlDocument {
public:
    virtual ~HtmlDocument() = default;
    virtual int count() const = 0;                            // all elements
    virtual HtmlElement* item(int index) const = 0;           // document order; nullptr out of range
    virtual HtmlElement* itemById(const QString& id) const = 0;  // first with that id; nullptr if none
    // The event being handled: set only while a handler runs, empty type otherwise.
    virtual HtmlEvent currentEvent() const = 0;
    // Marks characters [from, from + length) of the element's text (as the
    // page shows it, in UTF-16 units) in place of what was marked before;
    // nullptr takes the mark away. The mark is drawn over the page: its
    // elements and their text stay as they are.
    virtual void markText(HtmlElement* element, int from, int length) = 0;
    // Asks where characters [from, from + length) of the element's text
    // show; the view answers with wordChosen. A page that cannot say
    // answers nothing.
    virtual void locateWord(HtmlElement* /*element*/, int /*from*/, int /*length*/) {}
    // Underlines, quietly, every word of the page's shown text that is one
    // of `words` (lower-case) in place of those marked before; an empty list
    // takes the marks away. Drawn over the page, as the text mark is.
    virtual void markWords(const QStringList& /*words*/) {}
    // With `on`, the view tells wordPointedAt as the pointer moves from word
    // to word; off until set.
    virtual void tellPointedWords(bool /*on*/) {}
};

// A word of the page the learner chose (a double-click on it, or the page
// asked to locate it), where it stands in its element's text (as the page
// shows it, in UTF-16 units) and where it shows.
struct PageWord {
    // Valid as long as the document it belongs to lives.
    HtmlElement* element = nullptr;
    int from = 0;
    int length = 0;
    QString text;
    // In the coordinates of the view's widget.
    QRect box;
};

class HtmlView : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts loading the file and returns at once.
    virtual void navigate(const QString& localFilePath) = 0;
    // The document of the last completely loaded page; nullptr before the first.
    virtual std::shared_ptr<HtmlDocument> document() const = 0;
    // The widget to place in a window; show, hide and geometry go through it.
    // A window that takes it as a child may delete it first; widget() is then
    // nullptr. Otherwise the view deletes it.
    virtual QWidget* widget() = 0;
    // OwnPagesOnly until set otherwise.
    virtual void setPageLinks(PageLinks links) = 0;

signals:
    // Raised once per navigation when the page has loaded and document() holds it.
    void documentComplete();
    // Raised for a navigation the page itself starts (a link pressed) that
    // the view would load or hand out; a handler that sets *cancel to true
    // stops it.
    void beforeNavigate(const QUrl& url, bool* cancel);
    // The page asks for an address the view does not load: the owner hands
    // it to the desktop. The view keeps its page.
    void openOutsideRequested(const QUrl& url);
    // A navigation of the page was dropped: neither loaded nor handed out.
    void navigationDropped(const QUrl& url);
    // The learner double-clicked a word of the shown page, or the page
    // located one it was asked for.
    void wordChosen(const PageWord& word);
    // The pointer came onto a word (element nullptr: off all words), while
    // the document was asked to tell it.
    void wordPointedAt(const PageWord& word);
    // The learner right-clicked the page: on `element` (nullptr: none of the
    // page's), at `at` in the view's widget.
    void menuAsked(HtmlElement* element, const QPoint& at);
};
