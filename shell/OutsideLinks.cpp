// The window's links outside the course: the recording-source dialog and the
// welcome page's start picture.

#include "coursedata/lexbaydll.h"
#include "platform/web/HtmlView.h"
#include "shell/MainForm.h"
#include "shell/Mp3Form.h"

#include <QUrl>

void MainForm::btMp3_click()
{
    Mp3Form dialog(*platform_.library);
    dialog.exec();
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
