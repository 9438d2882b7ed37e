#pragma once

#include "platform/web/HtmlView.h"
#include "platform/web/NavigationRule.h"
#include "platform/web/PageBridgeHost.h"
#include "platform/web/PageMirror.h"

#include <QPointer>
#include <QTimer>
#include <QWebChannel>
#include <QWebEnginePage>

#include <memory>
#include <optional>
#include <vector>

class NavigationPolicyPage;
class PageWriteQueue;
class QWebEngineNewWindowRequest;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;

// The HTML view on Qt WebEngine. The page runs none of its own scripts; a
// bridge script in the application's isolated world takes a snapshot of the
// elements after each load (the mirror every read comes from), carries
// colour and cursor writes to the page and reports presses back.
class WebEngineHtmlView : public HtmlView {
    Q_OBJECT
public:
    explicit WebEngineHtmlView(QObject* parent = nullptr);
    ~WebEngineHtmlView() override;

    void navigate(const QString& localFilePath) override;
    std::shared_ptr<HtmlDocument> document() const override { return document_; }
    QWidget* widget() override;
    void setPageLinks(PageLinks links) override;

    QWebEngineView* webView() const;
    QWebEnginePage* page() const;

private:
    struct Snapshot {
        quint64 navigation;
        QString pageToken;
        std::vector<MirrorElementData> elements;
    };

    bool acceptNavigation(const QUrl& url, QWebEnginePage::NavigationType type, bool isMainFrame);
    void openNewWindow(QWebEngineNewWindowRequest& request);
    bool follow(const PageNavigation& navigation);
    void beginNavigation();
    void onLoadingChanged(const QWebEngineLoadingInfo& info);
    void requestSnapshot();
    void takeSnapshot(quint64 navigation, const QVariant& result);
    void onBridgeReady(const QString& pageToken);
    void completeIfReady();
    void complete(Snapshot snapshot);
    void onPress(const QString& pageToken, int elementIndex);
    // pointed: the pointer's word, not a chosen one.
    void onWord(const QString& pageToken, int elementIndex, int from, int length, const QString& text,
                const QVariantList& box, bool pointed);

    // Shared with the other views; released after the page.
    std::shared_ptr<QWebEngineProfile> profile_;
    NavigationPolicyPage* page_;
    QPointer<QWebEngineView> webView_;
    PageBridgeHost host_;
    QWebChannel channel_;
    std::shared_ptr<PageWriteQueue> writes_;
    std::shared_ptr<MirrorDocument> document_;
    PageLinks links_ = PageLinks::OwnPagesOnly;
    // The address of the last navigate(): the view's own navigation.
    QUrl ownUrl_;

    quint64 navigation_ = 0;
    std::optional<Snapshot> snapshot_;
    QString readyPageToken_;
    QTimer bridgeWait_;
};
