// Course text that tries to run code, reach the network or have the desktop
// open something. Sentences reach the page as markup, unescaped; what keeps
// them harmless is the view: no page script runs, nothing but local files
// loads, and nothing leaves for the desktop's opener without a press on a web
// or mail link. The hostile addresses point at a listening socket of this
// test, so any request that got out would arrive there; a stand-in opener
// records what the desktop would have been given.

#include "CourseFolder.h"
#include "CourseWindow.h"
#include "RecordingOpener.h"

#include "platform/web/WebEngineHtmlView.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QElapsedTimer>
#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

#include <gtest/gtest.h>

#include <ostream>

#include <atomic>

namespace {

// Sees every request the lesson page makes, after the profile's own
// interceptor had its say.
class RequestCounter : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override
    {
        if (!info.requestUrl().isLocalFile())
            ++notLocal;
    }
    std::atomic<int> notLocal{0};
};

const QString kTitle = QStringLiteral("lesson page");

// One sentence per attack (the odd-scheme link shares the first, where a
// press reaches it); %1 is the address of the test's socket.
QByteArray hostileLesson(const QString& server)
{
    const QString text = QString(
        "$Hostile lesson\r\n"
        "1. <script>document.title='script ran';new Image().src='%1/script'</script>Script. "
        "<a id=oddlink href=\"lexbay-odd:click\">Odd link</a>\r\n"
        "script\r\n"
        "2. <img id=onerror src=x onerror=\"document.title='onerror ran'\">Picture.\r\n"
        "picture\r\n"
        "3. <iframe src=%1/frame></iframe>Frame.\r\n"
        "frame\r\n"
        "4. <a id=jslink href=\"javascript:document.title='link ran'\">Link</a> here.\r\n"
        "link\r\n"
        "5. <link rel=stylesheet href=%1/style.css>Style.\r\n"
        "style\r\n"
        "6. <img src=%1/pixel.png><object data=%1/object></object>Pixel.\r\n"
        "pixel\r\n"
        "7. <body onload=\"document.title='onload ran'\">Plain sentence.\r\n"
        "plain\r\n"
        "8. <meta http-equiv=\"refresh\" content=\"0;url=%1/refresh\">Refresh.\r\n"
        "refresh\r\n").arg(server);
    return text.toLatin1();
}

TEST(HostileCourseText, RunsNoScriptSendsNoRequestAndThePageStillWorks)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&server, &QTcpServer::newConnection, [&] {
        while (QTcpSocket* socket = server.nextPendingConnection()) {
            ++connections;
            socket->close();
        }
    });
    const QString address = QString("http://127.0.0.1:%1").arg(server.serverPort());
    RecordingOpener opener;

    CourseWindow window([&](const QString& folder) {
        course::write(folder + "/" + course::kVolume + "/lesson.txt", hostileLesson(address));
    });
    RequestCounter counter;
    window.content().page()->setUrlRequestInterceptor(&counter);
    MainForm& f = window.start();
    ASSERT_EQ(f.session().sentenceCount(), 8);
    ui(f).wbAdv->hide();  // the welcome page lies over the lesson page

    // Give anything the page set off time to happen.
    window.runInPage("document.title = '" + kTitle + "'");
    window.clickElement("jslink");
    window.clickElement("oddlink");
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

    EXPECT_EQ(window.runInPage("document.title").toString(), kTitle) << "a page script ran";
    EXPECT_EQ(counter.notLocal.load(), 0) << "the page asked for something other than a local file";
    EXPECT_EQ(connections, 0) << "a request left the program";
    EXPECT_EQ(opener.addresses(), QStringList()) << "an address was handed to the desktop";

    // The page still takes presses and shows colours.
    EXPECT_EQ(window.liveColour("engs0"), "rgb(204, 0, 0)");
    EXPECT_EQ(window.liveColour("engs1"), "rgb(0, 153, 51)");
    window.clickElement("imgs1");
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.session().currentSentence() == 1; }, 5000));
    EXPECT_EQ(window.liveColour("engs1"), "rgb(204, 0, 0)");
    EXPECT_EQ(window.liveColour("engs0"), "rgb(0, 153, 51)");
    window.content().page()->setUrlRequestInterceptor(nullptr);
}

}  // namespace
