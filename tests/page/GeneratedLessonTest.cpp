// The fake view and the browser read the pages the library generates alike:
// the same sentence elements, in the same order, with the same inner markup.
// The window's unit tests run on the fake, so this is what makes them count.

#include "FakeHtmlView.h"
#include "lexbaydll.h"
#include "platform/web/WebEngineHtmlView.h"

#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QStringList sentenceElements(const HtmlDocument& document)
{
    QStringList described;
    for (int i = 0; i < document.count(); ++i) {
        const HtmlElement& element = *document.item(i);
        const QString prefix = element.id().left(4);
        if (prefix == "engs" || prefix == "imgs" || prefix == "chns")
            described << element.tagName() + ' ' + element.id() + ' ' + element.innerHtml();
    }
    return described;
}

std::shared_ptr<HtmlDocument> loaded(HtmlView& view, const QString& path)
{
    QSignalSpy complete(&view, &HtmlView::documentComplete);
    view.navigate(path);
    return complete.wait(20000) ? view.document() : nullptr;
}

TEST(GeneratedLesson, FakeAndBrowserSeeTheSameSentenceElements)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QByteArray page = QFile::encodeName(dir.filePath("curLesson.htm"));
    WebEngineHtmlView browser;
    FakeHtmlView fake;
    for (const char* volume : {"Trellis英语第1册", "Trellis英语第2册"}) {
        const QByteArray lessonFile = QByteArray(LEXBAY_DATA_DIR "/books/") + volume + "/lesson.txt";
        for (int lesson = 0; lesson < 2; ++lesson) {
            SCOPED_TRACE(std::string(volume) + " lesson " + std::to_string(lesson));
            const int sentences = dllMakeHtml(LEXBAY_DATA_DIR "/htmlhead.txt", lessonFile.constData(),
                                              page.constData(), lesson, -1);
            ASSERT_GT(sentences, 0);
            const auto seen = loaded(browser, QFile::decodeName(page));
            const auto read = loaded(fake, QFile::decodeName(page));
            ASSERT_TRUE(seen && read);
            const QStringList elements = sentenceElements(*seen);
            EXPECT_EQ(elements.size(), 3 * sentences);
            EXPECT_EQ(sentenceElements(*read), elements);
        }
    }
}

}
