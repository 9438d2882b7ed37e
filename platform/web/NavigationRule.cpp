#include "platform/web/NavigationRule.h"

namespace {

// What the desktop may be given from course text: web pages and mail. Other
// schemes start desktop handlers that do far more than show a page.
bool isWebOrMail(const QUrl& url)
{
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto");
}

}

NavigationVerdict judgeNavigation(const PageNavigation& navigation, PageLinks links)
{
    if (links == PageLinks::OwnPagesOnly)
        return navigation.pressedLink && isWebOrMail(navigation.url) ? NavigationVerdict::OpenOutside
                                                                     : NavigationVerdict::Drop;
    if (navigation.newWindow)
        return NavigationVerdict::OpenOutside;
    if (navigation.url.isLocalFile())
        return NavigationVerdict::Load;
    return navigation.mainFrame ? NavigationVerdict::OpenOutside : NavigationVerdict::Drop;
}
