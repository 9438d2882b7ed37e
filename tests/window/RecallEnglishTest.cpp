// Recall-English: hiding every English text, revealing and hiding by press,
// and repainting on leaving.

#include "PlayerLog.h"
#include "WindowHarness.h"

#include "platform/system/CourseText.h"
#include "study/StudyStatus.h"

#include <QComboBox>
#include <QFile>
#include <QListWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

QString recallCaption(MainForm& f) { return f.findChild<QToolButton*>("btThinkEnglish")->text(); }

QString id(const char* prefix, int n) { return QString("%1%2").arg(prefix).arg(n); }

TEST(RecallEnglish, EnteringHidesEveryEnglishTextAndNothingElse)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("engs3"));
    f.Toolbar1_ButtonClick("btThinkEnglish");
    EXPECT_EQ(f.session().status(), StatusThinkEnglish);
    EXPECT_EQ(recallCaption(f), "停止回想");
    for (int n = 0; n < f.session().sentenceCount(); ++n) {
        EXPECT_EQ(h.colourOf(id("engs", n)), "ffffff") << n;
        EXPECT_EQ(h.colourOf(id("chns", n)), "666633") << n;
        EXPECT_EQ(h.colourOf(id("imgs", n)), "009933") << n;
        EXPECT_FALSE(f.modes().recallEnglish().isEnglishShown(n)) << n;
    }
    EXPECT_TRUE(ui(f).cbVolume->isEnabled());
    EXPECT_TRUE(ui(f).lsLesson->isEnabled());
    EXPECT_EQ(f.session().currentSentence(), 3);
}

TEST(RecallEnglish, PressesRevealAndHideATextAndTheIconPlaysWithoutTouchingIt)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btThinkEnglish");
    ASSERT_TRUE(h.press("engs4"));
    EXPECT_EQ(h.colourOf("engs4"), "009933");
    EXPECT_TRUE(f.modes().recallEnglish().isEnglishShown(4));
    int mark = h.player().log.size();
    ASSERT_TRUE(h.press("imgs4"));
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop"}) + sentenceRange(f, 4));
    EXPECT_EQ(h.colourOf("engs4"), "009933");
    // A text press while the sentence plays stops it.
    ASSERT_TRUE(h.press("engs4"));
    EXPECT_FALSE(h.player().isPlaying());
    EXPECT_EQ(h.colourOf("engs4"), "ffffff");
    EXPECT_FALSE(f.modes().recallEnglish().isEnglishShown(4));
    EXPECT_EQ(f.session().currentSentence(), 0);
}

TEST(RecallEnglish, LeavingShowsEveryTextInTheNormalColourAndMarksNone)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("engs2"));
    f.Toolbar1_ButtonClick("btThinkEnglish");
    ASSERT_TRUE(h.press("engs2"));
    ASSERT_TRUE(h.press("engs5"));
    f.Toolbar1_ButtonClick("btThinkEnglish");
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_EQ(recallCaption(f), "回想英文");
    for (int n = 0; n < f.session().sentenceCount(); ++n) {
        EXPECT_EQ(h.colourOf(id("engs", n)), "009933") << n;
        EXPECT_TRUE(f.modes().recallEnglish().isEnglishShown(n)) << n;
    }
    EXPECT_EQ(f.session().currentSentence(), 2);
}

TEST(RecallEnglish, AnotherLessonWhileOnShowsItsTextsAndTheFirstPressHides)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btThinkEnglish");
    ui(f).lsLesson->setCurrentRow(1);
    ASSERT_EQ(f.session().status(), StatusThinkEnglish);
    EXPECT_EQ(h.colourOf("engs1"), "009933");
    ASSERT_TRUE(h.press("engs1"));
    EXPECT_EQ(h.colourOf("engs1"), "ffffff");
    f.Toolbar1_ButtonClick("btThinkEnglish");
    for (int n = 0; n < f.session().sentenceCount(); ++n)
        EXPECT_EQ(h.colourOf(id("engs", n)), "009933") << n;
}

TEST(RecallEnglish, ALessonWithoutSentencesOnlySwitchesStatusAndCaption)
{
    WindowHarness h([](const QString& folder) {
        QFile file(folder + "/books/Trellis英语第1册/lesson.txt");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(encodeCourseText("$Lesson 1 空\r\n$Lesson 2 也空\r\n"));
    });
    MainForm& f = h.load();
    ASSERT_EQ(f.session().sentenceCount(), 0);
    h.content().clearStyleWrites();
    f.Toolbar1_ButtonClick("btThinkEnglish");
    EXPECT_EQ(recallCaption(f), "停止回想");
    f.Toolbar1_ButtonClick("btThinkEnglish");
    EXPECT_EQ(recallCaption(f), "回想英文");
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_TRUE(h.content().styleWrites().empty());
}

}  // namespace
