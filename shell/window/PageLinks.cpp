// Where the window's pages lead: the welcome page's start picture, addresses
// pages hand to the desktop, and navigations dropped.

#include "coursedata/lexbaydll.h"
#include "platform/web/HtmlView.h"
#include "shell/window/MainForm.h"

#include <QUrl>

namespace {

// A dropped navigation, said in the status bar; %1 is the address.
const QString kDroppedNavigation = QStringLiteral("课程内容试图打开“%1”，已被阻止");

}

void MainForm::wbAdv_BeforeNavigate(const QUrl& url, bool* cancel)
{
    // The start picture links to the maker's site; that address is never
    // loaded, it closes the welcome page.
    if (url.toString().contains(LEXBAY_START_HOST, Qt::CaseSensitive)) {
        *cancel = true;
        wbAdv->widget()->hide();
    }
}

void MainForm::openOutside(const QUrl& url)
{
    platform_.library->dllIePage(url.toString(QUrl::FullyEncoded));
}

void MainForm::showDroppedNavigation(const QUrl& url)
{
    showNotice(kDroppedNavigation.arg(url.toString()));
}
