#include "platform/web/NavigationPolicyPage.h"

NavigationPolicyPage::NavigationPolicyPage(QWebEngineProfile* profile, Policy policy, QObject* parent)
    : QWebEnginePage(profile, parent), policy_(std::move(policy))
{
}

bool NavigationPolicyPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    return policy_(url, type, isMainFrame);
}
