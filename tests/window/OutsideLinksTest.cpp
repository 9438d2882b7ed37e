// The welcome page's start picture and links, the recording-source dialog,
// and the browser launch they go through.

#include "RecordingOpener.h"
#include "WindowHarness.h"

#include "coursedata/lexbaydll.h"
#include "platform/web/HtmlView.h"
#include "platform/system/CourseLibrary.h"
#include "shell/mp3/Mp3Form.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(WelcomePage, StartAddressClosesItWithoutLoadingAnything)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_FALSE(ui(f).wbAdv->isHidden());
    const int before = h.welcome().navigations().size();
    EXPECT_FALSE(h.welcome().followLink(QUrl("http://" LEXBAY_START_HOST "/start.htm")));
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    EXPECT_EQ(h.welcome().navigations().size(), before);
}

TEST(WelcomePage, OtherAddressesAndOtherLetterCasesAreNotIntercepted)
{
    WindowHarness h;
    MainForm& f = h.load();
    // Host names reach the view in lower case whatever the link said, so the
    // letter case can only differ elsewhere in the address.
    bool cancel = false;
    f.wbAdv_BeforeNavigate(QUrl(QString("http://x.example.com/%1").arg(QString(LEXBAY_START_HOST).toUpper())),
                           &cancel);
    EXPECT_FALSE(cancel);
    f.wbAdv_BeforeNavigate(QUrl(LEXBAY_MAKER_SITE), &cancel);
    EXPECT_FALSE(cancel);
    EXPECT_FALSE(ui(f).wbAdv->isHidden());
}

TEST(WelcomePage, ItsWebAndMailLinksGoToTheDesktopsOpener)
{
    RecordingOpener opener;
    WindowHarness h;
    MainForm& f = h.load();
    const QString mail = QStringLiteral("mailto:studio@lexbay.invalid");
    EXPECT_TRUE(h.welcome().followLink(QUrl(LEXBAY_MAKER_SITE)));
    EXPECT_FALSE(h.welcome().followLink(QUrl("http://" LEXBAY_START_HOST "/start.htm")));
    EXPECT_TRUE(h.welcome().followLink(QUrl(mail)));
    QStringList given = opener.waitForAddresses(2, 5000);
    given.sort();  // the two openers run side by side
    EXPECT_EQ(given, QStringList({LEXBAY_MAKER_SITE, mail}));
    EXPECT_TRUE(ui(f).pnNotice->text().isEmpty());
}

// The browser launch waits for the opener on a thread of the library's own.
TEST(CourseLibraryBrowserLaunch, LettingTheLibraryGoWhileTheOpenerRunsIsSafe)
{
    RecordingOpener opener(0.3);
    {
        CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
        EXPECT_EQ(library.dllIePage(LEXBAY_MAKER_SITE), 0);
        EXPECT_EQ(opener.waitForAddresses(1, 5000), QStringList({LEXBAY_MAKER_SITE}));
    }
    QThread::msleep(600);  // the opener ends; its waiting thread wakes up
}

TEST(Mp3Dialog, ShowsItsTextsAndOpensCentredEachTime)
{
    CourseLibrary library(QString(LEXBAY_APP_DIR) + "/liblexbaydll.so");
    for (int opening = 0; opening < 2; ++opening) {
        Mp3Form dialog(library);
        EXPECT_EQ(dialog.windowTitle(), "Lexbay");
        const QString text = Mp3Form::explanation();
        EXPECT_TRUE(text.startsWith("每篇课文的MP3文件，及其同步歌词文件(LRC文件)\r\n\r\n"));
        EXPECT_TRUE(text.endsWith("其他以此类推\r\n"));
        EXPECT_EQ(text.count("\r\n\r\n"), 6);
        // Every line is shown, and all of it fits the label.
        for (const QString& line : text.split("\r\n", Qt::SkipEmptyParts))
            EXPECT_TRUE(dialog.Label1->text().contains(line.toHtmlEscaped())) << line.toStdString();
        EXPECT_LE(dialog.Label1->heightForWidth(dialog.Label1->width()), dialog.Label1->height());
        EXPECT_EQ(dialog.btOk->text(), "返 回");
        EXPECT_EQ(dialog.lbMakerLink->text(), LEXBAY_MAKER_NAME);
        EXPECT_EQ(dialog.lbProductLink->text(), LEXBAY_PRODUCT_NAME);
        EXPECT_EQ(dialog.lbMakerLink->palette().color(QPalette::WindowText), QColor(0, 0, 255));
        EXPECT_TRUE(dialog.lbMakerLink->font().underline());
        dialog.move(0, 0);
        QTimer::singleShot(0, &dialog, [&dialog] {
            const QRect screen = dialog.screen()->geometry();
            const QRect frame = dialog.frameGeometry();
            EXPECT_EQ(frame.left(), screen.width() / 2 - frame.width() / 2);
            EXPECT_EQ(frame.top(), screen.height() / 2 - frame.height() / 2);
            dialog.btOk->click();
        });
        EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    }
}

}  // namespace
