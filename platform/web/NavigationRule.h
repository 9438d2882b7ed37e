#pragma once

// The one rule for the navigations a page starts by itself, shared by every
// HtmlView implementation.

#include "platform/web/HtmlView.h"

#include <QUrl>

struct PageNavigation {
    QUrl url;
    // The learner pressed a link for it. A submitted form is not a link:
    // what it sends cannot be handed on.
    bool pressedLink = false;
    // False for a frame, object or embed inside the page.
    bool mainFrame = true;
    // A link that opens a new window.
    bool newWindow = false;
};

enum class NavigationVerdict { Load, OpenOutside, Drop };

NavigationVerdict judgeNavigation(const PageNavigation& navigation, PageLinks links);
