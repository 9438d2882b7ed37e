#include "platform/web/WebEngineHtmlView.h"

#include "platform/web/AccessibleNodeObjects.h"
#include "platform/web/NavigationPolicyPage.h"
#include "platform/web/PageEngine.h"
#include "platform/web/PageWriteQueue.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Chromium's code for a load that was given up because another one started.
constexpr int kLoadAborted = -3;

// If the bridge never reports in, the page is still declared complete after
// this long, so no one waits forever; only its presses are lost then.
constexpr int kBridgeWaitMs = 3000;

// The name bridge.js looks the host up by.
const QString kHostName = QStringLiteral("lexbayHost");
const QString kSnapshotCall = QStringLiteral("typeof lexbay === 'object' ? lexbay.snapshot() : null");

QString resourceText(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

QWebEngineScript bridgeScript()
{
    QWebEngineScript script;
    script.setName(QStringLiteral("lexbay-bridge"));
    script.setSourceCode(resourceText(QStringLiteral(":/qtwebchannel/qwebchannel.js"))
                         + resourceText(QStringLiteral(":/lexbay/bridge.js")));
    script.setInjectionPoint(QWebEngineScript::DocumentReady);
    script.setWorldId(QWebEngineScript::ApplicationWorld);
    script.setRunsOnSubFrames(false);
    return script;
}

// Pages run none of their own scripts, plugins or window openings, and reach
// nothing beyond local files.
void lockDown(QWebEngineSettings& settings)
{
    settings.setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings.setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings.setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings.setAttribute(QWebEngineSettings::PluginsEnabled, false);
}

std::vector<MirrorElementData> elementsFrom(const QJsonArray& rows)
{
    std::vector<MirrorElementData> elements;
    elements.reserve(size_t(rows.size()));
    for (const QJsonValue& row : rows) {
        const QJsonArray fields = row.toArray();
        elements.push_back({fields.at(0).toString().toUpper(), fields.at(1).toString(), fields.at(2).toString()});
    }
    return elements;
}

}

WebEngineHtmlView::WebEngineHtmlView(QObject* parent)
    : HtmlView(parent),
      profile_(sharedPagesProfile()),
      page_(new NavigationPolicyPage(profile_.get(), [this](const QUrl& url, QWebEnginePage::NavigationType type,
                                                      bool isMainFrame) {
          return acceptNavigation(url, type, isMainFrame);
      })),
      webView_(new QWebEngineView()),
      writes_(std::make_shared<PageWriteQueue>(page_))
{
    Q_INIT_RESOURCE(page);
    lockDown(*page_->settings());
    // Loading a page must not take the keyboard from the window's text box.
    page_->settings()->setAttribute(QWebEngineSettings::FocusOnNavigationEnabled, false);
    page_->scripts().insert(bridgeScript());
    channel_.registerObject(kHostName, &host_);
    page_->setWebChannel(&channel_, QWebEngineScript::ApplicationWorld);

    connect(page_, &QWebEnginePage::loadingChanged, this, &WebEngineHtmlView::onLoadingChanged);
    connect(page_, &QWebEnginePage::newWindowRequested, this, &WebEngineHtmlView::openNewWindow);
    // Queued: a handler may open message boxes and nested event loops, which
    // must not run inside the channel's message dispatch.
    connect(&host_, &PageBridgeHost::readyReceived, this, &WebEngineHtmlView::onBridgeReady,
            Qt::QueuedConnection);
    connect(&host_, &PageBridgeHost::pressReceived, this, &WebEngineHtmlView::onPress,
            Qt::QueuedConnection);
    connect(
        &host_, &PageBridgeHost::wordReceived, this,
        [this](const QString& token, int index, int from, int length, const QString& text, const QVariantList& box) {
            onWord(token, index, from, length, text, box, false);
        },
        Qt::QueuedConnection);
    connect(
        &host_, &PageBridgeHost::wordPointedAtReceived, this,
        [this](const QString& token, int index, int from, int length, const QString& text, const QVariantList& box) {
            onWord(token, index, from, length, text, box, true);
        },
        Qt::QueuedConnection);

    connect(
        &host_, &PageBridgeHost::menuReceived, this,
        [this](const QString& token, int index, double x, double y) {
            if (!document_ || document_->pageToken() != token)
                return;
            // The page's CSS pixels are the widget's times the page's zoom.
            const qreal zoom = page_->zoomFactor();
            emit menuAsked(index >= 0 ? document_->item(index) : nullptr, QPointF(x * zoom, y * zoom).toPoint());
        },
        Qt::QueuedConnection);

    bridgeWait_.setSingleShot(true);
    bridgeWait_.setInterval(kBridgeWaitMs);
    connect(&bridgeWait_, &QTimer::timeout, this, [this] {
        if (snapshot_ && snapshot_->navigation == navigation_)
            complete(std::move(*snapshot_));
    });

    webView_->setPage(page_);
    // The default menu offers back, reload and view-source: navigations the
    // window does not expect.
    webView_->setContextMenuPolicy(Qt::NoContextMenu);
    // A file dropped on the view would replace the page behind the window's back.
    webView_->setAcceptDrops(false);
    setPageLinks(links_);
}

WebEngineHtmlView::~WebEngineHtmlView()
{
    // The widget may already be gone with the window it was placed in. The
    // page must go before its profile.
    delete webView_.data();
    delete page_;
}

QWidget* WebEngineHtmlView::widget()
{
    return webView_;
}

QWebEngineView* WebEngineHtmlView::webView() const
{
    return webView_;
}

QWebEnginePage* WebEngineHtmlView::page() const
{
    return page_;
}

void WebEngineHtmlView::setPageLinks(PageLinks links)
{
    links_ = links;
    // By default WebEngine itself hands an address of a scheme it does not
    // know to the desktop once this page accepts it, and asks the page only
    // when the learner pressed something. A view of course text asks always:
    // it accepts nothing but its own pages, and so learns of every attempt
    // and can name it.
    if (links == PageLinks::OwnPagesOnly)
        page_->settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    else
        page_->settings()->resetUnknownUrlSchemePolicy();
}

void WebEngineHtmlView::navigate(const QString& localFilePath)
{
    beginNavigation();
    ownUrl_ = QUrl::fromLocalFile(QFileInfo(localFilePath).absoluteFilePath());
    page_->load(ownUrl_);
}

bool WebEngineHtmlView::acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type,
                                         bool isMainFrame)
{
    if (isMainFrame && type == QWebEnginePage::NavigationTypeTyped && url == ownUrl_) {
        beginNavigation();
        return true;
    }
    // Page scripts are off, so a link-click navigation comes only from the
    // learner pressing a link; meta refreshes arrive as redirects, frames and
    // objects as "other".
    return follow({url, type == QWebEnginePage::NavigationTypeLinkClicked, isMainFrame, false});
}

void WebEngineHtmlView::openNewWindow(QWebEngineNewWindowRequest& request)
{
    follow({request.requestedUrl(), request.isUserInitiated(), true, true});
}

bool WebEngineHtmlView::follow(const PageNavigation& navigation)
{
    const NavigationVerdict verdict = judgeNavigation(navigation, links_);
    if (verdict == NavigationVerdict::Drop) {
        emit navigationDropped(navigation.url);
        return false;
    }
    if (navigation.mainFrame) {
        bool cancel = false;
        emit beforeNavigate(navigation.url, &cancel);
        if (cancel)
            return false;
    }
    if (verdict == NavigationVerdict::OpenOutside) {
        emit openOutsideRequested(navigation.url);
        return false;
    }
    if (navigation.mainFrame)
        beginNavigation();
    return true;
}

void WebEngineHtmlView::beginNavigation()
{
    ++navigation_;
    snapshot_.reset();
    bridgeWait_.stop();
}

void WebEngineHtmlView::onLoadingChanged(const QWebEngineLoadingInfo& info)
{
    switch (info.status()) {
    case QWebEngineLoadingInfo::LoadSucceededStatus:
        requestSnapshot();
        break;
    case QWebEngineLoadingInfo::LoadFailedStatus:
        // A missing file still completes the navigation, with no elements,
        // so a caller waiting for the page goes on.
        if (info.errorCode() != kLoadAborted)
            complete({navigation_, QString(), {}});
        break;
    default:
        break;
    }
}

void WebEngineHtmlView::requestSnapshot()
{
    const quint64 navigation = navigation_;
    QPointer<WebEngineHtmlView> self(this);
    page_->runJavaScript(kSnapshotCall, QWebEngineScript::ApplicationWorld,
                         [self, navigation](const QVariant& result) {
                             if (self)
                                 self->takeSnapshot(navigation, result);
                         });
}

void WebEngineHtmlView::takeSnapshot(quint64 navigation, const QVariant& result)
{
    if (navigation != navigation_)
        return;
    const QJsonObject fields = QJsonDocument::fromJson(result.toString().toUtf8()).object();
    const QString pageToken = fields.value(QStringLiteral("token")).toString();
    if (pageToken.isEmpty()) {
        complete({navigation, QString(), {}});
        return;
    }
    snapshot_ = Snapshot{navigation, pageToken, elementsFrom(fields.value(QStringLiteral("elements")).toArray())};
    completeIfReady();
    if (snapshot_)
        bridgeWait_.start();
}

void WebEngineHtmlView::onBridgeReady(const QString& pageToken)
{
    readyPageToken_ = pageToken;
    completeIfReady();
}

void WebEngineHtmlView::completeIfReady()
{
    if (snapshot_ && snapshot_->navigation == navigation_ && snapshot_->pageToken == readyPageToken_)
        complete(std::move(*snapshot_));
}

void WebEngineHtmlView::complete(Snapshot snapshot)
{
    snapshot_.reset();
    bridgeWait_.stop();
    // The pages before this one are gone by now, and with them their
    // accessible nodes.
    releaseObjectsOfGoneNodes(webView_);
    writes_->setShownPageToken(snapshot.pageToken);
    document_ = std::make_shared<MirrorDocument>(snapshot.pageToken, std::move(snapshot.elements),
                                                 std::weak_ptr<MirrorWriteSink>(writes_));
    emit documentComplete();
}

void WebEngineHtmlView::onPress(const QString& pageToken, int elementIndex)
{
    if (!document_ || document_->pageToken() != pageToken)
        return;
    const std::shared_ptr<MirrorDocument> document = document_;
    document->dispatchMouseDown(elementIndex);
}

void WebEngineHtmlView::onWord(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                               const QVariantList& box, bool pointed)
{
    if (!document_ || document_->pageToken() != pageToken)
        return;
    HtmlElement* element = document_->item(elementIndex);
    if (element == nullptr || length <= 0 || box.size() != 4) {
        if (pointed)
            emit wordPointedAt({});
        return;
    }
    // The page's CSS pixels are the widget's times the page's zoom.
    const qreal zoom = page_->zoomFactor();
    const QRectF cssBox(box.at(0).toDouble(), box.at(1).toDouble(), box.at(2).toDouble(), box.at(3).toDouble());
    const QRectF widgetBox(cssBox.topLeft() * zoom, cssBox.size() * zoom);
    const PageWord word{element, from, length, text, widgetBox.toAlignedRect()};
    if (pointed)
        emit wordPointedAt(word);
    else
        emit wordChosen(word);
}
