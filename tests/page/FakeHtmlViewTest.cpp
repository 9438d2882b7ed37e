// The fake view's contract, on which the window's unit tests rely.

#include "FakeHtmlView.h"
#include "LessonPageFile.h"
#include "platform/web/clsForward.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace {

struct TokenizeCase {
    const char* name;
    QString markup;
    QStringList expected;  // "TAG:id:inner"
};

QStringList describe(const std::vector<MirrorElementData>& elements)
{
    QStringList described;
    for (const auto& element : elements)
        described << element.tagName + ':' + element.id + ':' + element.innerHtml;
    return described;
}

class TokenizePage : public ::testing::TestWithParam<TokenizeCase> {};

TEST_P(TokenizePage, FindsStartTagsIdsAndLinkMarkup)
{
    EXPECT_EQ(describe(tokenizePage(GetParam().markup)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Markup, TokenizePage, ::testing::Values(
    TokenizeCase{"generated_row",
                 "<td width = \"196%\",height = \"20\"> <a id = \"engs0\" class = \"yaowen\"> Hello.\r\n</a></td>",
                 {"TD::", "A:engs0: Hello.\n"}},
    TokenizeCase{"quoting_forms", "<IMG ID=imgs3 border=0><p id='x1'><b Id = \"y\">",
                 {"IMG:imgs3:", "P:x1:", "B:y:"}},
    TokenizeCase{"skipped_parts", "<!DOCTYPE html><!-- <a id=\"c\"> --><html><script>if (a<b) x();</script></html>",
                 {"HTML::", "SCRIPT::"}},
    TokenizeCase{"other_attributes_named_like_id", "<a data-id=\"no\" title=\"id=no\" href=\"x>y\">t</A>",
                 {"A::t"}},
    TokenizeCase{"markup_inside_link", "<a id=\"engs1\">It's <b>bold</b> &amp; <i>more</i>\r</a><img id=\"i\">",
                 {"A:engs1:It's <b>bold</b> &amp; <i>more</i>\n", "B::", "I::", "IMG:i:"}},
    TokenizeCase{"unclosed_link", "<a id=\"e\">tail", {"A:e:tail"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Stands in for the main window: reads the event from the page, as its
// handler does.
class PressedWindow : public QObject {
    Q_OBJECT
public:
    explicit PressedWindow(FakeHtmlView& view) : view_(view) {}
    QStringList pressed;

public slots:
    void HtmlEventHandler()
    {
        const HtmlEvent event = view_.document()->currentEvent();
        pressed << event.type + ':' + event.srcElement->id();
    }

private:
    FakeHtmlView& view_;
};

class RecordingHandler : public PageEventHandler {
public:
    explicit RecordingHandler(FakeHtmlView& view) : view_(view) {}
    void My_Default_Method() override
    {
        const HtmlEvent event = view_.document()->currentEvent();
        seen << event.type + ':' + (event.srcElement ? event.srcElement->id() : QString());
        if (nested)
            std::exchange(nested, nullptr)();
    }
    QStringList seen;
    std::function<void()> nested;

private:
    FakeHtmlView& view_;
};

class FakeHtmlViewTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir.isValid()); }

    QString writeLesson(const QString& name, const std::vector<PageSentence>& sentences)
    {
        writePageFile(dir.filePath(name), lessonPageBytes(sentences));
        return dir.filePath(name);
    }

    bool load(const QString& path)
    {
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(path);
        return complete.wait(1000) && complete.count() == 1;
    }

    QTemporaryDir dir;
    FakeHtmlView view;
};

TEST_F(FakeHtmlViewTest, CompletesLaterWithTheGeneratedPage)
{
    const QString path = writeLesson("lesson.htm", {{"Hello.", QStringLiteral("你好。𠀀")}, {"Bye.", ""}});
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    view.navigate(path);
    EXPECT_EQ(complete.count(), 0);
    EXPECT_EQ(view.document(), nullptr);
    ASSERT_TRUE(complete.wait(1000));

    const auto document = view.document();
    ASSERT_TRUE(document);
    EXPECT_EQ(document->itemById("engs0")->innerHtml(), "Hello.\n");
    EXPECT_EQ(document->itemById("chns0")->innerHtml(), QStringLiteral("你好。𠀀\n"));
    EXPECT_EQ(document->itemById("imgs1")->tagName(), "IMG");
    EXPECT_EQ(document->itemById("chns1"), nullptr);
    EXPECT_EQ(view.navigations(), QStringList({path}));
    EXPECT_NE(view.widget(), nullptr);
}

TEST_F(FakeHtmlViewTest, OnlyTheLastOfQuickNavigationsCompletes)
{
    const QString first = writeLesson("first.htm", numberedSentences(1));
    const QString second = writeLesson("second.htm", numberedSentences(4));
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    view.navigate(first);
    view.navigate(second);
    ASSERT_TRUE(complete.wait(1000));
    QCoreApplication::processEvents();
    EXPECT_EQ(complete.count(), 1);
    EXPECT_NE(view.document()->itemById("engs3"), nullptr);
}

TEST_F(FakeHtmlViewTest, MissingFileCompletesWithAnEmptyDocument)
{
    ASSERT_TRUE(load(dir.filePath("missing.htm")));
    EXPECT_EQ(view.document()->count(), 0);
}

TEST_F(FakeHtmlViewTest, RecordsWritesInOrderAndMarksThoseToAnEarlierPage)
{
    const QString path = writeLesson("lesson.htm", numberedSentences(2));
    ASSERT_TRUE(load(path));
    const auto first = view.document();
    first->itemById("engs0")->setStyleCursor("hand");
    first->itemById("engs0")->setStyleColor("009933");
    ASSERT_TRUE(load(path));
    first->itemById("engs1")->setStyleColor("cc0000");
    view.document()->itemById("chns1")->setStyleColor("666633");

    const auto& writes = view.styleWrites();
    ASSERT_EQ(writes.size(), 4u);
    EXPECT_EQ(writes[0].elementId + writes[0].property + writes[0].value, "engs0cursorhand");
    EXPECT_EQ(writes[1].elementId + writes[1].property + writes[1].value, "engs0color009933");
    EXPECT_TRUE(writes[1].onShownPage);
    EXPECT_EQ(writes[2].elementId, "engs1");
    EXPECT_FALSE(writes[2].onShownPage);
    EXPECT_EQ(writes[3].elementId + writes[3].value, "chns1666633");
    EXPECT_TRUE(writes[3].onShownPage);
    EXPECT_EQ(first->itemById("engs1")->styleColor(), "cc0000");
}

TEST_F(FakeHtmlViewTest, PressSetsTheCurrentEventOnlyWhileTheHandlerRuns)
{
    ASSERT_TRUE(load(writeLesson("lesson.htm", numberedSentences(2))));
    const auto document = view.document();
    const auto handler = std::make_shared<RecordingHandler>(view);
    document->itemById("engs0")->setMouseDownHandler(handler);
    document->itemById("imgs1")->setMouseDownHandler(handler);
    // A press handled in a nested wait leaves the outer event as it was.
    handler->nested = [&] {
        view.press("imgs1");
        handler->seen << "after nested:" + document->currentEvent().srcElement->id();
    };

    EXPECT_TRUE(view.press("engs0"));
    EXPECT_FALSE(view.press("chns0"));
    EXPECT_FALSE(view.press("nothing"));
    EXPECT_EQ(handler->seen, QStringList({"mousedown:engs0", "mousedown:imgs1", "after nested:engs0"}));
    EXPECT_TRUE(document->currentEvent().type.isEmpty());
    EXPECT_EQ(document->currentEvent().srcElement, nullptr);
}

TEST_F(FakeHtmlViewTest, PressesReachOnlyTheShownPage)
{
    const QString path = writeLesson("lesson.htm", numberedSentences(1));
    ASSERT_TRUE(load(path));
    const auto oldDocument = view.document();
    const auto oldHandler = std::make_shared<RecordingHandler>(view);
    oldDocument->itemById("engs0")->setMouseDownHandler(oldHandler);
    ASSERT_TRUE(load(path));

    EXPECT_FALSE(view.press(oldDocument->itemById("engs0")));
    EXPECT_FALSE(view.press("engs0"));
    EXPECT_TRUE(oldHandler->seen.isEmpty());
}

TEST_F(FakeHtmlViewTest, PressReachesTheWindowThroughTheForwarder)
{
    ASSERT_TRUE(load(writeLesson("lesson.htm", numberedSentences(2))));
    PressedWindow window(view);
    auto forward = std::make_shared<clsForward>();
    forward->Set_Destination(&window, "HtmlEventHandler");
    for (const char* id : {"engs1", "imgs1"})
        view.document()->itemById(id)->setMouseDownHandler(forward);
    view.press("imgs1");
    view.press("engs1");
    EXPECT_EQ(window.pressed, QStringList({"mousedown:imgs1", "mousedown:engs1"}));
}

TEST(FakeHtmlViewLifetime, ElementsOutliveTheirView)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("lesson.htm");
    writePageFile(path, lessonPageBytes(numberedSentences(1)));
    std::shared_ptr<HtmlDocument> document;
    {
        FakeHtmlView view;
        QSignalSpy complete(&view, &HtmlView::documentComplete);
        view.navigate(path);
        ASSERT_TRUE(complete.wait(1000));
        document = view.document();
    }
    HtmlElement* english = document->itemById("engs0");
    english->setStyleColor("cc0000");
    english->setMouseDownHandler(std::make_shared<clsForward>());
    EXPECT_EQ(english->styleColor(), "cc0000");
    EXPECT_EQ(english->innerHtml(), "Sentence number 0 of the lesson.\n");
}

TEST_F(FakeHtmlViewTest, FollowLinkOffersTheNavigationFirst)
{
    view.setPageLinks(PageLinks::Followed);
    const QString other = writeLesson("other.htm", numberedSentences(1));
    bool cancel = true;
    QList<QUrl> offered;
    QObject::connect(&view, &HtmlView::beforeNavigate, [&](const QUrl& url, bool* cancelFlag) {
        offered << url;
        *cancelFlag = cancel;
    });
    EXPECT_FALSE(view.followLink(QUrl::fromLocalFile(other)));
    EXPECT_TRUE(view.navigations().isEmpty());
    cancel = false;
    EXPECT_TRUE(view.followLink(QUrl::fromLocalFile(other)));
    EXPECT_EQ(view.navigations(), QStringList({other}));
    EXPECT_EQ(offered.size(), 2);
}

}

int main(int argc, char** argv)
{
    // Test discovery runs without the tests' environment; no window is ever shown.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "FakeHtmlViewTest.moc"
