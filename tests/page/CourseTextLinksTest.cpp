// Course text that tries to take the learner somewhere: the real window, its
// real lesson and word views and the real course-data library, with a
// stand-in for the desktop's opener that records what it is given. Loading a
// page hands nothing out; a pressed web or mail link goes to the desktop;
// everything else is dropped, named in the status bar, and the lesson page
// stays and keeps working.

#include "CourseWindow.h"
#include "RecordingOpener.h"

#include "platform/web/WebEngineHtmlView.h"

#include <QFile>
#include <QLabel>
#include <QWebEnginePage>

#include <gtest/gtest.h>

#include <string>

namespace {

const QString kVolume = QStringLiteral("/books/Trellis英语第1册/");

struct Construct {
    const char* name;
    const char* markup;      // in the lesson's first sentence
    const char* pressed;     // the element pressed once the page is shown, if any
    const char* handedOut;   // the address the desktop is given, if any
    const char* dropped;     // what the status bar names, if anything is dropped
    bool inWordList = false; // markup in the word list instead
};

// An address of any length; the status bar names it by its beginning.
const std::string kLongLink = "<a id=\"press\" href=\"lexbay-odd:" + std::string(600, 'x') + "\">go</a>";

const Construct kConstructs[] = {
    {"meta refresh to http", R"(<meta http-equiv="refresh" content="0;url=http://127.0.0.1:9/refresh">)", nullptr,
     nullptr, "http://127.0.0.1:9/refresh"},
    {"meta refresh to https", R"(<meta http-equiv="refresh" content="0;url=https://lexbay.invalid/refresh">)",
     nullptr, nullptr, "https://lexbay.invalid/refresh"},
    {"meta refresh to a file", R"(<meta http-equiv="refresh" content="0;url=file:///etc/hostname">)", nullptr,
     nullptr, "file:///etc/hostname"},
    {"meta refresh to an odd scheme", R"(<meta http-equiv="refresh" content="0;url=lexbay-odd:refresh">)", nullptr,
     nullptr, "lexbay-odd:refresh"},
    {"meta refresh to the page itself", R"(<meta http-equiv="refresh" content="0">)", nullptr, nullptr,
     "/curLesson.htm"},
    {"meta refresh in the word list", R"(<meta http-equiv="refresh" content="0;url=https://lexbay.invalid/words">)",
     nullptr, nullptr, "https://lexbay.invalid/words", true},
    {"object with a web address", R"(<object data="http://lexbay.invalid/object"></object>)", nullptr, nullptr,
     "http://lexbay.invalid/object"},
    {"object with an odd scheme", R"(<object data="lexbay-odd:object"></object>)", nullptr, nullptr,
     "lexbay-odd:object"},
    {"object with a local file", R"(<object data="file:///etc/hostname" type="text/plain"></object>)", nullptr,
     nullptr, "file:///etc/hostname"},
    {"embed with a web address", R"(<embed src="http://lexbay.invalid/embed">)", nullptr, nullptr,
     "http://lexbay.invalid/embed"},
    {"embed with an odd scheme", R"(<embed src="lexbay-odd:embed">)", nullptr, nullptr, "lexbay-odd:embed"},
    {"web link", R"(<a id="press" href="http://lexbay.invalid/link">go</a>)", "press", "http://lexbay.invalid/link",
     nullptr},
    {"secure web link", R"(<a id="press" href="https://lexbay.invalid/secure">go</a>)", "press",
     "https://lexbay.invalid/secure", nullptr},
    {"mail link", R"(<a id="press" href="mailto:author@lexbay.invalid">go</a>)", "press",
     "mailto:author@lexbay.invalid", nullptr},
    {"odd-scheme link", R"(<a id="press" href="lexbay-odd:click">go</a>)", "press", nullptr, "lexbay-odd:click"},
    {"local-file link", R"(<a id="press" href="file:///etc/hosts">go</a>)", "press", nullptr, "file:///etc/hosts"},
    {"link to a file beside the page", R"(<a id="press" href="homepage.htm">go</a>)", "press", nullptr,
     "/homepage.htm"},
    {"base pointing elsewhere", R"(<base href="http://lexbay.invalid/base/"><a id="press" href="page.htm">go</a>)",
     "press", "http://lexbay.invalid/base/page.htm", nullptr},
    {"new-window web link", R"(<a id="press" target="_blank" href="http://lexbay.invalid/blank">go</a>)", "press",
     "http://lexbay.invalid/blank", nullptr},
    {"new-window odd-scheme link", R"(<a id="press" target="_blank" href="lexbay-odd:blank">go</a>)", "press",
     nullptr, "lexbay-odd:blank"},
    {"odd-scheme link of 600 characters",
     kLongLink.c_str(), "press", nullptr, "lexbay-odd:xxxxxxxxxx"},
    {"form submitted", R"(<form action="http://lexbay.invalid/form"><input id="press" type="submit" value="go"></form>)",
     "press", nullptr, "http://lexbay.invalid/form"},
};

QByteArray lessonText(const QByteArray& firstSentence)
{
    return "$Lesson 1 links\r\n1. " + firstSentence + " First.\r\nfirst\r\n2. Second.\r\nsecond\r\n";
}

QByteArray wordList(const QByteArray& meaning)
{
    return "$Lesson 1 links\r\nword\r\n/w/\r\n" + meaning + "\r\n";
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

TEST(CourseTextLinks, OnlyPressedWebAndMailLinksLeaveAndTheLessonPageStays)
{
    RecordingOpener opener;
    CourseWindow window([](const QString& folder) {
        writeFile(folder + kVolume + "lesson.txt", lessonText("Plain."));
        writeFile(folder + kVolume + "words.txt", wordList("plain"));
    });
    MainForm& f = window.start();
    const int windowWidth = f.width();
    QStringList handedOut;

    for (const Construct& c : kConstructs) {
        SCOPED_TRACE(c.name);
        const QString volume = window.folder() + kVolume;
        writeFile(volume + "lesson.txt", lessonText(c.inWordList ? "Plain." : c.markup));
        writeFile(volume + "words.txt", wordList(c.inWordList ? c.markup : "plain"));
        f.lsLesson_Click();  // loads the lesson again, from the new text
        ASSERT_EQ(f.session().sentenceCount(), 2);
        const QUrl lessonPage = window.content().page()->url();

        if (c.pressed)
            window.clickElement(c.pressed);
        if (c.handedOut)
            handedOut << c.handedOut;
        if (c.dropped) {
            EXPECT_TRUE(settleUntil([&] { return ui(f).pnNotice->text().contains(c.dropped); }, 5000))
                << ui(f).pnNotice->text().toStdString();
        }
        EXPECT_EQ(opener.waitForAddresses(handedOut.size(), 5000), handedOut);
        if (c.handedOut) {
            EXPECT_FALSE(ui(f).pnNotice->text().contains(c.handedOut));
        }

        // The lesson page is still the one shown, and still takes presses.
        window.clickElement("imgs1");
        EXPECT_TRUE(settleUntil([&] { return f.session().currentSentence() == 1; }, 5000));
        EXPECT_EQ(window.content().page()->url(), lessonPage);
        EXPECT_EQ(window.liveColour("engs1"), "rgb(204, 0, 0)");
        EXPECT_EQ(f.width(), windowWidth) << "the notice widened the window";
    }
    settle(300);
    EXPECT_EQ(opener.addresses(), handedOut) << "something was handed out late";
}

}  // namespace
