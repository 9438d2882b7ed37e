// Vocabulary: the word page in place of the lesson page and back.

#include "WindowHarness.h"

#include "study/StudyStatus.h"

#include <QLabel>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(Vocabulary, TheButtonSwitchesBetweenTheWordPageAndTheUnchangedLessonPage)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("engs4"));
    const int lessonPages = h.content().navigations().size();
    const int wordPages = h.words().navigations().size();
    ASSERT_GT(wordPages, 0);
    QToolButton* words = f.findChild<QToolButton*>("btWords");

    words->click();
    EXPECT_EQ(f.session().status(), StatusWords);
    EXPECT_EQ(words->text(), "学课文");
    EXPECT_EQ(ui(f).pnStatus->text(), "词汇学习");
    EXPECT_FALSE(ui(f).wbWords->isHidden());
    EXPECT_TRUE(ui(f).wbContent->isHidden());
    EXPECT_TRUE(ui(f).wbAdv->isHidden());
    for (const char* other : {"btBrowse", "btCompare", "btSpell", "btThinkEnglish"})
        EXPECT_FALSE(f.findChild<QToolButton*>(other)->isEnabled()) << other;

    words->click();
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_EQ(words->text(), "学词汇");
    EXPECT_TRUE(ui(f).wbWords->isHidden());
    EXPECT_FALSE(ui(f).wbContent->isHidden());
    EXPECT_EQ(f.session().currentSentence(), 4);
    EXPECT_EQ(h.colourOf("engs4"), "cc0000");
    // Neither page was loaded again.
    EXPECT_EQ(h.content().navigations().size(), lessonPages);
    EXPECT_EQ(h.words().navigations().size(), wordPages);
}

}  // namespace
