#include "FakeHtmlView.h"

#include "platform/web/NavigationRule.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

namespace {

QString normalizedLineEnds(QString text)
{
    // As a browser's parser does before anything else.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

QString attributeId(const QString& attributes)
{
    static const QRegularExpression idAttribute(
        QStringLiteral(R"re((?:^|\s)id\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = idAttribute.match(attributes);
    if (!match.hasMatch())
        return {};
    for (int group = 1; group <= 3; ++group)
        if (match.capturedStart(group) >= 0)
            return match.captured(group);
    return {};
}

int indexAfter(const QString& markup, const QString& text, int from)
{
    const int at = markup.indexOf(text, from, Qt::CaseInsensitive);
    return at < 0 ? int(markup.size()) : at + int(text.size());
}

// Where the markup continues after a tag that opens at `at` (not a start tag).
int skipNonStartTag(const QString& markup, int at)
{
    if (markup.mid(at, 4) == QLatin1String("<!--"))
        return indexAfter(markup, QStringLiteral("-->"), at + 4);
    return indexAfter(markup, QStringLiteral(">"), at);
}

bool opensStartTag(const QString& markup, int at)
{
    return at + 1 < markup.size() && markup[at + 1].isLetter();
}

}

std::vector<MirrorElementData> tokenizePage(const QString& markup)
{
    static const QRegularExpression startTag(QStringLiteral(R"re(<([A-Za-z][A-Za-z0-9]*)((?:[^>"']|"[^"]*"|'[^']*')*)>)re"));
    std::vector<MirrorElementData> elements;
    int at = markup.indexOf(QLatin1Char('<'));
    while (at >= 0) {
        if (!opensStartTag(markup, at)) {
            at = markup.indexOf(QLatin1Char('<'), skipNonStartTag(markup, at));
            continue;
        }
        const QRegularExpressionMatch tag = startTag.match(markup, at, QRegularExpression::NormalMatch,
                                                           QRegularExpression::AnchorAtOffsetMatchOption);
        if (!tag.hasMatch())
            break;
        const QString name = tag.captured(1).toUpper();
        const int contentStart = int(tag.capturedEnd(0));
        int next = contentStart;
        QString inner;
        if (name == QLatin1String("A")) {
            const int close = markup.indexOf(QLatin1String("</a"), contentStart, Qt::CaseInsensitive);
            inner = normalizedLineEnds(markup.mid(contentStart, close < 0 ? -1 : close - contentStart));
        } else if (name == QLatin1String("SCRIPT") || name == QLatin1String("STYLE")) {
            next = indexAfter(markup, QStringLiteral("</") + name, contentStart);
        }
        elements.push_back({name, attributeId(tag.captured(2)), inner});
        at = markup.indexOf(QLatin1Char('<'), next);
    }
    return elements;
}

class FakeHtmlView::WriteRecorder : public MirrorWriteSink {
public:
    explicit WriteRecorder(FakeHtmlView& view) : view_(view) {}
    void write(const QString& pageToken, const MirrorWrite& write) override { view_.record(pageToken, write); }

private:
    FakeHtmlView& view_;
};

FakeHtmlView::FakeHtmlView(QObject* parent)
    : HtmlView(parent), widget_(new QWidget()), recorder_(std::make_shared<WriteRecorder>(*this))
{
}

FakeHtmlView::~FakeHtmlView()
{
    delete widget_.data();
}

void FakeHtmlView::navigate(const QString& localFilePath)
{
    navigations_.append(localFilePath);
    QFile file(localFilePath);
    QString markup;
    if (file.open(QIODevice::ReadOnly)) {
        QStringDecoder decode("GB18030");
        markup = decode(file.readAll());
    }
    const QString pageToken = QStringLiteral("fake-page-%1").arg(++navigationCount_);
    auto document = std::make_shared<MirrorDocument>(pageToken, tokenizePage(markup),
                                                     std::weak_ptr<MirrorWriteSink>(recorder_));
    documentsByToken_.removeIf([](const auto& entry) { return entry.value().expired(); });
    documentsByToken_.insert(pageToken, document);
    // Later, like a browser; a newer navigation supersedes this one.
    const int navigation = navigationCount_;
    QMetaObject::invokeMethod(this, [this, navigation, document] {
        if (navigation != navigationCount_)
            return;
        document_ = document;
        emit documentComplete();
    }, Qt::QueuedConnection);
}

bool FakeHtmlView::press(HtmlElement* element)
{
    const auto* mirrored = dynamic_cast<MirrorElement*>(element);
    if (!document_ || !mirrored || document_->item(mirrored->index()) != element)
        return false;
    const std::shared_ptr<MirrorDocument> document = document_;
    return document->dispatchMouseDown(mirrored->index());
}

bool FakeHtmlView::press(const QString& id)
{
    return document_ && press(document_->itemById(id));
}

bool FakeHtmlView::followLink(const QUrl& url, bool pressed)
{
    const NavigationVerdict verdict = judgeNavigation({url, pressed, true, false}, links_);
    if (verdict == NavigationVerdict::Drop) {
        emit navigationDropped(url);
        return false;
    }
    bool cancel = false;
    emit beforeNavigate(url, &cancel);
    if (cancel)
        return false;
    if (verdict == NavigationVerdict::OpenOutside)
        emit openOutsideRequested(url);
    else
        navigate(url.toLocalFile());
    return true;
}

void FakeHtmlView::record(const QString& pageToken, const MirrorWrite& write)
{
    if (write.kind == MirrorWrite::Kind::MouseDownListener)
        return;
    const std::shared_ptr<MirrorDocument> document = documentsByToken_.value(pageToken).lock();
    const HtmlElement* element = document ? document->item(write.elementIndex) : nullptr;
    const bool onShownPage = document_ && document_->pageToken() == pageToken;
    if (write.kind == MirrorWrite::Kind::TextMark) {
        textMarks_.push_back({element ? element->id() : QString(), write.from, write.length, onShownPage});
        return;
    }
    styleWrites_.push_back({element ? element->id() : QString(),
                            write.kind == MirrorWrite::Kind::Color ? QStringLiteral("color") : QStringLiteral("cursor"),
                            write.value, onShownPage});
}
