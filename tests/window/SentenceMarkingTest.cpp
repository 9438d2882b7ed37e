// The current sentence's marking, the position text and the element lookups.

#include "WindowHarness.h"

#include "platform/web/HtmlView.h"

#include <QLabel>

#include <gtest/gtest.h>

namespace {

TEST(SetCurSentence, MovesTheRedMarkAndRewritesThePositionText)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.session().SetCurSentence(3);
    f.session().SetCurSentence(5);
    EXPECT_EQ(h.colourOf("engs3"), "009933");
    EXPECT_EQ(h.colourOf("engs5"), "cc0000");
    EXPECT_EQ(h.colourOf("imgs5"), "009933");
    EXPECT_EQ(h.colourOf("chns5"), "666633");
    EXPECT_EQ(f.session().currentSentence(), 5);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 6 句");

    h.content().clearStyleWrites();
    f.session().SetCurSentence(5);
    ASSERT_EQ(h.content().styleWrites().size(), 2u);
    EXPECT_EQ(h.content().styleWrites()[0].value, "009933");
    EXPECT_EQ(h.content().styleWrites()[1].value, "cc0000");
}

TEST(SetCurSentence, FirstMarkingAfterALoadUnmarksNothing)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.session().moveCurrentSentence(-1);
    h.content().clearStyleWrites();
    f.session().SetCurSentence(2);
    ASSERT_EQ(h.content().styleWrites().size(), 1u);
    EXPECT_EQ(h.content().styleWrites()[0].elementId, "engs2");
}

TEST(GetSentenceNo, ReadsTheNumberAfterTheIdPrefix)
{
    WindowHarness h;
    h.load();
    // Elements of a page of our own making with the ids under test.
    QTemporaryDir dir;
    QFile page(dir.path() + "/ids.htm");
    page.open(QIODevice::WriteOnly);
    page.write("<html><body><a id=\"imgs0\">a</a><a id=\"engs12\">b</a><a id=\"chns12\">c</a><a id=\"ENGS3\">d</a>"
               "<a>e</a><a id=\"chns\">f</a><a id=\"engs7x\">g</a><a id=\"imgs2.5\">h</a><a id=\"engs3.5\">i</a>"
               "<a id=\"xengs4\">j</a></body></html>");
    page.close();
    FakeHtmlView view;
    view.navigate(page.fileName());
    WindowHarness::settle();
    ASSERT_NE(view.document(), nullptr);
    const std::pair<const char*, int> cases[] = {
        {"imgs0", 0}, {"engs12", 12}, {"chns12", 12}, {"ENGS3", -1}, {"chns", 0},
        {"engs7x", 7}, {"imgs2.5", 2}, {"engs3.5", 4}, {"xengs4", -1},
    };
    for (const auto& [id, number] : cases)
        EXPECT_EQ(GetSentenceNo(view.document()->itemById(id)), number) << id;
    HtmlElement* withoutId = nullptr;
    for (int i = 0; i < view.document()->count(); ++i) {
        HtmlElement* e = view.document()->item(i);
        if (e->tagName() == "A" && e->id().isEmpty())
            withoutId = e;
    }
    ASSERT_NE(withoutId, nullptr);
    EXPECT_EQ(GetSentenceNo(withoutId), -1);
}

TEST(ElementLookups, FindTheSentenceElementsById)
{
    WindowHarness h;
    MainForm& f = h.load();
    EXPECT_EQ(GetESentence(f.session().page(), 7)->id(), "engs7");
    EXPECT_EQ(GetCSentence(f.session().page(), 0)->id(), "chns0");
    EXPECT_EQ(GetESentence(f.session().page(), 8), nullptr);
}

}  // namespace
