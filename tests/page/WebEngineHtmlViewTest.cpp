// The real view on Qt WebEngine, headless: loads, the mirror, writes reaching
// the live page, real mouse presses, dead page scripts, navigation control,
// the page as a screen reader reads it.

#include "LessonPageFile.h"
#include "platform/web/PageMirror.h"
#include "platform/web/WebEngineHtmlView.h"

#include <QAccessible>
#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kLoadTimeoutMs = 20000;

class RecordingHandler : public PageEventHandler {
public:
    explicit RecordingHandler(std::shared_ptr<HtmlDocument> document) : document_(std::move(document)) {}
    void My_Default_Method() override { events.push_back(document_->currentEvent()); }
    std::vector<HtmlEvent> events;

private:
    std::shared_ptr<HtmlDocument> document_;
};

class WebEngineHtmlViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        view.webView()->resize(800, 600);
        view.webView()->show();
    }

    QString pagePath(const QString& name) const { return dir.filePath(name); }

    QString writePage(const QString& name, const QByteArray& bytes)
    {
        writePageFile(pagePath(name), bytes);
        return pagePath(name);
    }

    bool load(const QString& path)
    {
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(path);
        return complete.wait(kLoadTimeoutMs) && complete.count() == 1;
    }

    QVariant runInBridgeWorld(const QString& script)
    {
        QVariant result;
        QEventLoop loop;
        view.page()->runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant& value) {
            result = value;
            loop.quit();
        });
        loop.exec();
        return result;
    }

    // Lets the current turn's writes go out first.
    QString liveStyle(const QString& id, const QString& property)
    {
        QCoreApplication::processEvents();
        return runInBridgeWorld(QStringLiteral("document.getElementById('%1').style.%2").arg(id, property))
            .toString();
    }

    QPoint centreOf(const QString& id)
    {
        const QVariantList box = runInBridgeWorld(
            QStringLiteral("(function(){var r=document.getElementById('%1').getBoundingClientRect();"
                           "return [r.left+r.width/2, r.top+r.height/2];})()").arg(id)).toList();
        return QPoint(int(box.value(0).toDouble()), int(box.value(1).toDouble()));
    }

    void pressAt(const QString& id)
    {
        const QPoint centre = centreOf(id);
        QTest::mousePress(view.webView()->focusProxy(), Qt::LeftButton, {}, centre);
        QTest::mouseRelease(view.webView()->focusProxy(), Qt::LeftButton, {}, centre);
    }
    void clickAt(const QString& id) { QTest::mouseClick(view.webView()->focusProxy(), Qt::LeftButton, {}, centreOf(id)); }

    // A round trip through the page: whatever the page was going to do with
    // earlier input has been done when it returns.
    void settle()
    {
        runInBridgeWorld(QStringLiteral("0"));
        QTest::qWait(100);
        runInBridgeWorld(QStringLiteral("0"));
    }

    QTemporaryDir dir;
    WebEngineHtmlView view;
};

QStringList sentenceIds(const HtmlDocument& document)
{
    QStringList ids;
    for (int i = 0; i < document.count(); ++i) {
        const QString id = document.item(i)->id();
        if (id.startsWith(QLatin1String("engs")) || id.startsWith(QLatin1String("imgs"))
            || id.startsWith(QLatin1String("chns")))
            ids << document.item(i)->tagName() + QLatin1Char(':') + id;
    }
    return ids;
}

TEST_F(WebEngineHtmlViewTest, MirrorHoldsEverySentenceElementInDocumentOrder)
{
    // "𠀀" takes four bytes in GB18030; "ʃ" is a phonetic sign.
    const std::vector<PageSentence> sentences = {
        {QStringLiteral(" Hello."), QStringLiteral("你好。𠀀")},
        {QStringLiteral("I'm <b>fine</b> &amp; you?"), QStringLiteral("[ʃ] 我很好。")},
    };
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(sentences))));
    const auto document = view.document();
    ASSERT_TRUE(document);

    EXPECT_EQ(sentenceIds(*document), QStringList({"IMG:imgs0", "A:engs0", "A:chns0", "IMG:imgs1", "A:engs1", "A:chns1"}));
    EXPECT_EQ(document->item(0)->tagName(), "HTML");
    EXPECT_EQ(document->itemById("engs0")->innerHtml(), " Hello.\n");
    EXPECT_EQ(document->itemById("chns0")->innerHtml(), QStringLiteral("你好。𠀀\n"));
    EXPECT_EQ(document->itemById("engs1")->innerHtml(), "I'm <b>fine</b> &amp; you?\n");
    EXPECT_EQ(document->itemById("chns1")->innerHtml(), QStringLiteral("[ʃ] 我很好。\n"));
    EXPECT_EQ(document->itemById("engs2"), nullptr);
    EXPECT_EQ(document->item(document->count()), nullptr);
}

TEST_F(WebEngineHtmlViewTest, ColourAndCursorWritesReachTheLivePageInOrder)
{
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(3)))));
    const auto document = view.document();
    HtmlElement* english = document->itemById("engs1");
    english->setStyleColor("009933");
    english->setStyleCursor("hand");
    english->setStyleColor("cc0000");
    document->itemById("chns2")->setStyleColor("666633");

    EXPECT_EQ(english->styleColor(), "cc0000");
    EXPECT_EQ(english->styleCursor(), "hand");
    EXPECT_EQ(liveStyle("engs1", "color"), "rgb(204, 0, 0)");
    EXPECT_EQ(liveStyle("engs1", "cursor"), "pointer");
    EXPECT_EQ(liveStyle("chns2", "color"), "rgb(102, 102, 51)");
    EXPECT_EQ(liveStyle("engs0", "color"), "");
}

TEST_F(WebEngineHtmlViewTest, MousePressReachesTheHandlerWithItsEvent)
{
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(3)))));
    const auto document = view.document();
    const auto handler = std::make_shared<RecordingHandler>(document);
    for (const char* id : {"imgs1", "engs2"})
        document->itemById(id)->setMouseDownHandler(handler);
    settle();  // the listeners are on the page

    pressAt("imgs1");
    pressAt("chns1");  // no handler: nothing
    pressAt("engs2");
    for (int i = 0; i < 100 && handler->events.size() < 2; ++i)
        QTest::qWait(50);
    settle();

    ASSERT_EQ(handler->events.size(), 2u);
    EXPECT_EQ(handler->events[0].type, "mousedown");
    EXPECT_EQ(handler->events[0].srcElement, document->itemById("imgs1"));
    EXPECT_EQ(handler->events[1].srcElement, document->itemById("engs2"));
    EXPECT_TRUE(document->currentEvent().type.isEmpty());
    EXPECT_EQ(document->currentEvent().srcElement, nullptr);
}

// A handler that waits in a nested event loop, as the window's waits and
// message boxes do, still receives the next press inside that wait.
TEST_F(WebEngineHtmlViewTest, PressDuringAHandlersNestedWaitIsDeliveredThere)
{
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(2)))));
    const auto document = view.document();
    QStringList seen;
    class WaitingHandler : public PageEventHandler {
    public:
        explicit WaitingHandler(std::function<void()> onPress) : onPress_(std::move(onPress)) {}
        void My_Default_Method() override { onPress_(); }

    private:
        std::function<void()> onPress_;
    };
    auto describeEvent = [&] {
        const HtmlEvent event = document->currentEvent();
        return event.type + ':' + (event.srcElement ? event.srcElement->id() : QString());
    };
    const auto inner = std::make_shared<WaitingHandler>([&] { seen << describeEvent(); });
    const auto outer = std::make_shared<WaitingHandler>([&] {
        seen << describeEvent();
        QTimer::singleShot(0, [&] { pressAt("imgs1"); });
        for (int i = 0; i < 100 && seen.size() < 2; ++i)
            QTest::qWait(50);
        seen << "after wait " + describeEvent();
    });
    document->itemById("imgs0")->setMouseDownHandler(outer);
    document->itemById("imgs1")->setMouseDownHandler(inner);
    settle();

    pressAt("imgs0");
    for (int i = 0; i < 200 && seen.size() < 3; ++i)
        QTest::qWait(50);
    EXPECT_EQ(seen, QStringList({"mousedown:imgs0", "mousedown:imgs1", "after wait mousedown:imgs0"}));
}

TEST_F(WebEngineHtmlViewTest, PageScriptsNeverRun)
{
    const QByteArray hostile =
        "<script>document.title = 'script ran'; document.getElementById('engs0').style.color = 'red';</script>\r\n"
        "<img id=\"broken\" src=\"missing.png\" onerror=\"document.title = 'onerror ran'\">\r\n"
        "<svg onload=\"document.title = 'onload ran'\"></svg>\r\n"
        "<p id=\"trap\" onmousedown=\"document.title = 'onmousedown ran'\" style=\"height:40px\">press</p>\r\n";
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(1), hostile))));
    pressAt("trap");
    settle();

    EXPECT_EQ(runInBridgeWorld("document.title").toString(), "Lesson");
    EXPECT_EQ(liveStyle("engs0", "color"), "");
}

TEST_F(WebEngineHtmlViewTest, NothingButLocalFilesIsFetched)
{
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QByteArray address = "http://127.0.0.1:" + QByteArray::number(server.serverPort());
    const QByteArray remote = "<img src=\"" + address + "/picture.png\">\r\n"
                              "<link rel=\"stylesheet\" href=\"" + address + "/style.css\">\r\n"
                              "<iframe src=\"" + address + "/frame.htm\"></iframe>\r\n";
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(1), remote))));
    settle();
    EXPECT_FALSE(server.waitForNewConnection(300));
}

// The welcome page's way with links.
TEST_F(WebEngineHtmlViewTest, FollowedLinksAreOfferedFirstThenLoadedOrHandedOut)
{
    view.setPageLinks(PageLinks::Followed);
    QList<QUrl> opened;
    QObject::connect(&view, &HtmlView::openOutsideRequested, [&](const QUrl& url) { opened.append(url); });
    const QString other = writePage("other.htm", lessonPageBytes(numberedSentences(5)));
    const QByteArray links =
        "<p><a id=\"local\" href=\"other.htm\">other page</a></p>\r\n"
        "<p><a id=\"remote\" href=\"http://example.invalid/start\">remote</a></p>\r\n"
        "<p><a id=\"blank\" href=\"http://example.invalid/blank\" target=\"_blank\">new window</a></p>\r\n"
        "<p><a id=\"mail\" href=\"mailto:someone@example.invalid\">mail</a></p>\r\n";
    const QString first = writePage("lesson.htm", lessonPageBytes(numberedSentences(2), links));

    QList<QUrl> offered;
    bool cancelAll = true;
    QObject::connect(&view, &HtmlView::beforeNavigate, [&](const QUrl& url, bool* cancel) {
        offered.append(url);
        *cancel = cancelAll;
    });
    ASSERT_TRUE(load(first));
    EXPECT_TRUE(offered.isEmpty()) << "the view's own navigation is not offered";
    const auto firstDocument = view.document();

    QSignalSpy complete(&view, &HtmlView::documentComplete);
    clickAt("local");
    clickAt("remote");
    settle();
    EXPECT_EQ(offered, QList<QUrl>({QUrl::fromLocalFile(other), QUrl("http://example.invalid/start")}));
    EXPECT_FALSE(complete.wait(500));
    EXPECT_EQ(view.page()->url(), QUrl::fromLocalFile(first));
    EXPECT_EQ(view.document(), firstDocument);
    EXPECT_TRUE(opened.isEmpty());

    cancelAll = false;
    for (const char* id : {"remote", "blank", "mail"})
        clickAt(id);
    for (int i = 0; i < 100 && opened.size() < 3; ++i)
        QTest::qWait(50);
    EXPECT_EQ(opened, QList<QUrl>({QUrl("http://example.invalid/start"), QUrl("http://example.invalid/blank"),
                                   QUrl("mailto:someone@example.invalid")}));
    EXPECT_EQ(view.page()->url(), QUrl::fromLocalFile(first));

    clickAt("local");
    ASSERT_TRUE(complete.wait(kLoadTimeoutMs));
    EXPECT_EQ(view.page()->url(), QUrl::fromLocalFile(other));
    EXPECT_EQ(sentenceIds(*view.document()).size(), 15);
}

TEST_F(WebEngineHtmlViewTest, RewrittenFileShowsItsNewContent)
{
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("英语")));
    const QString path = writePage(QStringLiteral("英语/curLesson.htm"), lessonPageBytes({{"First text.", ""}}));
    ASSERT_TRUE(load(path));
    writePageFile(path, lessonPageBytes({{"Second text.", ""}, {"Another.", ""}}));
    ASSERT_TRUE(load(path));
    EXPECT_EQ(view.document()->itemById("engs0")->innerHtml(), "Second text.\n");
    EXPECT_NE(view.document()->itemById("engs1"), nullptr);
    EXPECT_EQ(runInBridgeWorld("document.getElementById('engs0').textContent").toString(), "Second text.\n");
}

TEST_F(WebEngineHtmlViewTest, WritesToAnEarlierPageLeaveTheShownPageAlone)
{
    const QString path = writePage("lesson.htm", lessonPageBytes(numberedSentences(2)));
    ASSERT_TRUE(load(path));
    const auto oldDocument = view.document();
    ASSERT_TRUE(load(path));
    oldDocument->itemById("engs0")->setStyleColor("ffffff");
    view.document()->itemById("engs1")->setStyleColor("cc0000");

    EXPECT_EQ(oldDocument->itemById("engs0")->styleColor(), "ffffff");
    EXPECT_EQ(liveStyle("engs0", "color"), "");
    EXPECT_EQ(liveStyle("engs1", "color"), "rgb(204, 0, 0)");
}

// The window loads its first lesson before it is shown.
TEST(WebEngineHtmlViewHidden, CompletesAndMarksAPageNeverShown)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lesson.htm");
    writePageFile(path, lessonPageBytes(numberedSentences(2)));
    WebEngineHtmlView hidden;
    QSignalSpy complete(&hidden, &HtmlView::documentComplete);
    hidden.navigate(path);
    ASSERT_TRUE(complete.wait(kLoadTimeoutMs));
    ASSERT_NE(hidden.document()->itemById("engs1"), nullptr);
    EXPECT_FALSE(hidden.widget()->isVisible());
}

TEST(WebEngineHtmlViewLifetime, WidgetMayGoWithItsWindowBeforeTheView)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lesson.htm");
    writePageFile(path, lessonPageBytes(numberedSentences(1)));
    WebEngineHtmlView view;
    std::shared_ptr<HtmlDocument> document;
    {
        QWidget window;
        view.widget()->setParent(&window);
        window.show();
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(path);
        ASSERT_TRUE(complete.wait(kLoadTimeoutMs));
        document = view.document();
    }
    EXPECT_EQ(view.widget(), nullptr);
    document->itemById("engs0")->setStyleColor("cc0000");
    QCoreApplication::processEvents();
}

TEST_F(WebEngineHtmlViewTest, LoadingLeavesTheKeyboardWithTheWindowsTextBox)
{
    QWidget window;
    QLineEdit textBox(&window);
    view.widget()->setParent(&window);
    view.widget()->setGeometry(0, 40, 600, 400);
    window.resize(640, 480);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    textBox.setFocus();
    ASSERT_TRUE(load(writePage("lesson.htm", lessonPageBytes(numberedSentences(2)))));
    ASSERT_TRUE(load(writePage("other.htm", lessonPageBytes(numberedSentences(3)))));
    EXPECT_TRUE(textBox.hasFocus());
    view.widget()->setParent(nullptr);
}

TEST_F(WebEngineHtmlViewTest, OnlyTheLastOfQuickNavigationsCompletes)
{
    const QString first = writePage("first.htm", lessonPageBytes(numberedSentences(1)));
    const QString second = writePage("second.htm", lessonPageBytes(numberedSentences(3)));
    ASSERT_TRUE(load(first));
    const auto firstDocument = view.document();
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    view.navigate(second);
    view.navigate(first);
    view.navigate(second);
    EXPECT_EQ(view.document(), firstDocument) << "the shown page's document until the next one is complete";
    ASSERT_TRUE(complete.wait(kLoadTimeoutMs));
    EXPECT_FALSE(complete.wait(500));
    EXPECT_EQ(complete.count(), 1);
    EXPECT_NE(view.document()->itemById("engs2"), nullptr);
}

TEST_F(WebEngineHtmlViewTest, MissingFileCompletesOnceWithAnEmptyDocument)
{
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    view.navigate(pagePath("no-such-page.htm"));
    ASSERT_TRUE(complete.wait(kLoadTimeoutMs));
    EXPECT_FALSE(complete.wait(500));
    EXPECT_EQ(complete.count(), 1);
    ASSERT_TRUE(view.document());
    EXPECT_EQ(view.document()->itemById("engs0"), nullptr);
    EXPECT_TRUE(sentenceIds(*view.document()).isEmpty());
}

// With an accessibility client attached (a screen reader, or the tools a
// desktop starts), as a client finds the view.
class WebEngineHtmlViewAccessibilityTest : public WebEngineHtmlViewTest {
protected:
    void SetUp() override
    {
        QAccessible::setActive(true);
        WebEngineHtmlViewTest::SetUp();
    }
    void TearDown() override { QAccessible::setActive(false); }

    // Loads a page of its own and waits until its last sentence can be read.
    bool loadReadable(int page, int sentences)
    {
        std::vector<PageSentence> rows;
        for (int n = 0; n < sentences; ++n)
            rows.push_back({QStringLiteral("Page %1, sentence %2.").arg(page).arg(n),
                            QStringLiteral("第%1页第%2句。").arg(page).arg(n)});
        const QString last = rows.back().chinese;
        return load(writePage(QStringLiteral("page%1.htm").arg(page), lessonPageBytes(rows)))
            && QTest::qWaitFor([&] { return readableTexts().contains(last); }, kLoadTimeoutMs);
    }

    // The names of the view's accessible tree, as a screen reader walks it.
    QStringList readableTexts() const
    {
        QStringList texts;
        std::function<void(QAccessibleInterface*, int)> walk = [&](QAccessibleInterface* node, int depth) {
            if (!node || depth > 64)
                return;
            texts << node->text(QAccessible::Name).trimmed();
            for (int i = 0; i < node->childCount(); ++i)
                walk(node->child(i), depth + 1);
        };
        walk(QAccessible::queryAccessibleInterface(view.webView()), 0);
        return texts;
    }

    // WebEngine hangs a plain QObject under the view for each accessible node.
    qsizetype plainObjects() const
    {
        qsizetype count = 0;
        for (const QObject* object : view.webView()->findChildren<QObject*>())
            count += object->metaObject() == &QObject::staticMetaObject;
        return count;
    }
};

TEST_F(WebEngineHtmlViewAccessibilityTest, AScreenReaderReadsTheSentencesOfTheShownPage)
{
    ASSERT_TRUE(loadReadable(1, 3));
    ASSERT_TRUE(loadReadable(2, 3));
    const QStringList texts = readableTexts();
    EXPECT_TRUE(texts.contains("Page 2, sentence 0.")) << texts.join(" | ").toStdString();
    EXPECT_TRUE(texts.contains("第2页第1句。"));
    EXPECT_FALSE(texts.contains("Page 1, sentence 0."));
}

TEST_F(WebEngineHtmlViewAccessibilityTest, PagesGoneLeaveNoObjectsBehind)
{
    ASSERT_TRUE(loadReadable(0, 20));
    const qsizetype onePage = plainObjects();
    ASSERT_GT(onePage, 20);
    for (int page = 1; page <= 6; ++page)
        ASSERT_TRUE(loadReadable(page, 20));
    EXPECT_LE(plainObjects(), 2 * onePage) << "the shown page's, and at most the page before it";
}

}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

