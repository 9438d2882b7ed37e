#pragma once

#include <QWebEnginePage>

#include <functional>

// A page that asks its owner about every navigation before it happens.
class NavigationPolicyPage : public QWebEnginePage {
    Q_OBJECT
public:
    using Policy = std::function<bool(const QUrl& url, NavigationType type, bool isMainFrame)>;

    NavigationPolicyPage(QWebEngineProfile* profile, Policy policy, QObject* parent = nullptr);

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
    Policy policy_;
};
