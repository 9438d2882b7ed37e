// Reverse dictation: presenting sentences, the check on Enter, the hint boxes,
// stepping and the focus return, entering and leaving.

#include "PlayerLog.h"
#include "WindowHarness.h"

#include "platform/system/CourseText.h"
#include "study/DictationText.h"
#include "study/StudyStatus.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

const char* const kVolumeOne = "/books/Trellis英语第1册/lesson.txt";

// A first lesson whose sentences hold the cases of the check: markup in the
// text, double-byte and four-byte characters.
void writeDictationLesson(const QString& folder)
{
    const QStringList lines = {
        "$Lesson 1 听写",
        "1. Tom is here.",
        "汤姆在这儿。",
        "2. Fish &amp; chips, <b>please</b>.",
        "鱼&amp;薯条，<i>谢谢</i>。",
        "3. 汤姆 is here.",
        "汤姆在这儿。",
        "4. \U00020000 is here.",
        "一个很少见的字。",
        "5. Goodbye.",
        "再见。",
        "$Lesson 2 其他",
        "1. Hello.",
        "你好。",
    };
    QFile file(folder + kVolumeOne);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(encodeCourseText(lines.join("\r\n") + "\r\n"));
}

QString dictationCaption(MainForm& f) { return f.findChild<QToolButton*>("btSpell")->text(); }

// Types an answer into the box as it stands and presses Enter.
void answer(MainForm& f, const QString& typed)
{
    ui(f).teSpell->setText(typed);
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
}

struct CheckCase {
    const char* name;
    int sentence;
    QString typed;
    bool right;
    int selectionStart;  // -1: nothing selected
    QString selected;
    int caret;
};

void PrintTo(const CheckCase& c, std::ostream* out) { *out << c.name; }

class DictationCheck : public ::testing::TestWithParam<CheckCase> {};

TEST_P(DictationCheck, EnterChecksTheTrimmedAnswer)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    ASSERT_EQ(f.session().sentenceCount(), 5);
    const CheckCase c = GetParam();
    f.session().SetCurSentence(c.sentence);
    f.Toolbar1_ButtonClick("btSpell");
    int mark = h.player().log.size();
    answer(f, c.typed);
    if (c.right) {
        EXPECT_EQ(f.session().currentSentence(), c.sentence + 1);
        EXPECT_EQ(ui(f).teSpell->text(), "");
        EXPECT_EQ(ui(f).pnSubStatus->text(), QString("共 5 句，当前是第 %1 句").arg(c.sentence + 2));
        EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop"}) + sentenceRange(f, c.sentence + 1));
    } else {
        EXPECT_EQ(f.session().currentSentence(), c.sentence);
        EXPECT_EQ(ui(f).teSpell->text(), c.typed.trimmed());
        EXPECT_EQ(ui(f).teSpell->hasSelectedText(), c.selectionStart >= 0);
        if (c.selectionStart >= 0) {
            EXPECT_EQ(ui(f).teSpell->selectionStart(), c.selectionStart);
            EXPECT_EQ(ui(f).teSpell->selectedText(), c.selected);
        }
        EXPECT_EQ(ui(f).teSpell->cursorPosition(), c.caret);
        EXPECT_EQ(takeSince(h.player().log, mark), QStringList());
    }
    EXPECT_TRUE(h.boxes().shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Answers, DictationCheck,
    ::testing::Values(CheckCase{"Exact", 0, "Tom is here.", true, -1, "", 0},
                      CheckCase{"BlanksAround", 0, "   Tom is here.    ", true, -1, "", 0},
                      CheckCase{"OneBlankBehind", 0, "Tom is here. ", true, -1, "", 0},
                      CheckCase{"SmallFirstLetter", 0, "tom is here.", false, 0, "t", 1},
                      CheckCase{"NoFullStop", 0, "Tom is here", false, -1, "", 11},
                      CheckCase{"TwoInnerBlanks", 0, "Tom  is here.", false, 4, " ", 5},
                      CheckCase{"SecondFullStop", 0, "Tom is here..", false, -1, "", 13},
                      CheckCase{"Empty", 0, "", false, -1, "", 0},
                      CheckCase{"OnlyBlanks", 0, "    ", false, -1, "", 0},
                      CheckCase{"TabInside", 0, "Tom\tis here.", false, 3, "\t", 4},
                      CheckCase{"MarkupTypedAsText", 1, "Fish & chips, please.", true, -1, "", 0},
                      CheckCase{"EntityTypedAsMarkup", 1, "Fish &amp; chips, please.", false, 6, "a", 7},
                      CheckCase{"DoubleByteBeforeError", 2, "汤姆 is hare.", false, 7, "a", 8},
                      CheckCase{"DoubleByteWrong", 2, "汤母 is here.", false, 1, "母", 2},
                      CheckCase{"FourByteBeforeError", 3, "\U00020000 is hare.", false, 7, "a", 8}),
    [](const auto& info) { return std::string(info.param.name); });

struct ForgivingCase {
    const char* name;
    QString typed;
    QString right;
    int difference;  // -1: the same once folded
};

void PrintTo(const ForgivingCase& c, std::ostream* out) { *out << c.name; }

class ForgivingCheck : public ::testing::TestWithParam<ForgivingCase> {};

TEST_P(ForgivingCheck, FoldsCasePunctuationSpacingAndWidth)
{
    const ForgivingCase c = GetParam();
    EXPECT_EQ(firstForgivingDifference(c.typed, c.right), c.difference);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, ForgivingCheck,
    ::testing::Values(
        ForgivingCase{"CaseAndPunctuation", "excuse me where is the station", "Excuse me, where is the station?", -1},
        ForgivingCase{"Capitals", "TOM IS HERE", "Tom is here.", -1},
        ForgivingCase{"SeveralSpaces", "  Tom    is\there ", "Tom is here.", -1},
        ForgivingCase{"FullWidthLettersSpaceAndStop", "Ｔｏｍ　ｉｓ　ｈｅｒｅ。", "Tom is here.", -1},
        ForgivingCase{"CurlyQuotes", "“Yes,” he said…", "\"Yes\", he said.", -1},
        ForgivingCase{"ChinesePunctuation", "汤姆，在这儿！", "汤姆在这儿。", -1},
        ForgivingCase{"WrongLetter", "Tom is hare", "Tom is here.", 8},
        ForgivingCase{"WrongAfterDroppedPunctuation", "Fish, & chops", "Fish & chips, please.", 10},
        ForgivingCase{"StopsShort", "Tom is", "Tom is here.", 6},
        ForgivingCase{"FourByteBeforeError", "\U00020000 is hare", "\U00020000 is here.", 7},
        ForgivingCase{"FourByteWrong", "\U00020001 is here", "\U00020000 is here.", 0},
        ForgivingCase{"WrongBlank", "Tomis here", "Tom is here.", 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Dictation, TheForgivingCheckBoxSwitchesTheCheck)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    answer(f, "tom is here");
    EXPECT_EQ(f.session().currentSentence(), 0);
    f.findChild<QCheckBox*>("ckSpellLenient")->setChecked(true);
    answer(f, "tom is here");
    EXPECT_EQ(f.session().currentSentence(), 1);
    answer(f, "fish and chips");
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).teSpell->selectionStart(), 5);
    EXPECT_EQ(ui(f).teSpell->selectedText(), "a");
}

TEST(Dictation, KeysTypedIntoTheAnswerBoxAreCheckedOnEnter)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    QTest::keyClicks(ui(f).teSpell, " Tom is here. ");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Enter);
    EXPECT_EQ(f.session().currentSentence(), 1);
    QTest::keyClicks(ui(f).teSpell, "Fish & chips, please!");
    QTest::keyClick(ui(f).teSpell, Qt::Key_Return);
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).teSpell->selectedText(), "!");
}

TEST(Dictation, RightAnswerOnTheLastSentenceSaysDoneAndKeepsEverything)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.session().SetCurSentence(4);
    f.Toolbar1_ButtonClick("btSpell");
    answer(f, "Goodbye.");
    EXPECT_EQ(h.boxes().shown, QStringList("逆向听写完成!"));
    EXPECT_EQ(f.session().currentSentence(), 4);
    EXPECT_EQ(ui(f).teSpell->text(), "Goodbye.");
    EXPECT_EQ(f.session().status(), StatusSpell);
}

TEST(Dictation, HintBoxesShowPlainTextWithoutTheLineEnd)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    ui(f).ckSpellShowEnglish->setChecked(true);
    f.session().SetCurSentence(1);
    f.Toolbar1_ButtonClick("btSpell");
    // The sentence text begins after the label's full stop, blank included;
    // the English box shows it untrimmed.
    EXPECT_EQ(ui(f).teEnglish->toPlainText(), " Fish & chips, please.");
    EXPECT_EQ(ui(f).teChinese->toPlainText(), "鱼&薯条，谢谢。");
    ui(f).btSpellHint->click();
    EXPECT_EQ(ui(f).teEnglish->toPlainText(), "Fish & chips, please.");
    EXPECT_TRUE(ui(f).timerFocus->isActive());
}

TEST(Dictation, CheckBoxesFillAndClearTheirHintBoxAtOnce)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    ui(f).timerFocus->stop();
    EXPECT_EQ(ui(f).teEnglish->toPlainText(), "");
    EXPECT_EQ(ui(f).teChinese->toPlainText(), "汤姆在这儿。");
    ui(f).ckSpellShowEnglish->click();
    EXPECT_EQ(ui(f).teEnglish->toPlainText(), " Tom is here.");
    ui(f).ckSpellShowChinese->click();
    EXPECT_EQ(ui(f).teChinese->toPlainText(), "");
    ui(f).ckSpellShowEnglish->click();
    EXPECT_EQ(ui(f).teEnglish->toPlainText(), "");
    EXPECT_FALSE(ui(f).timerFocus->isActive());
}

TEST(Dictation, AutomaticPlayingOffPresentsWithoutPlaying)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    ui(f).ckSpellAutoSnd->setChecked(false);
    int mark = h.player().log.size();
    f.Toolbar1_ButtonClick("btSpell");
    answer(f, "Tom is here.");
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop"));
    ui(f).btSpellSound->click();
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop") + sentenceRange(f, 1));
}

TEST(Dictation, SteppingPastEitherEndIsRefusedAndTheFocusComesBack)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Toolbar1_ButtonClick("btSpell");
    ui(f).btSpellPrev->click();
    EXPECT_EQ(h.boxes().shown, QStringList("已经是第一个句子了"));
    EXPECT_EQ(f.session().currentSentence(), 0);
    ui(f).btSpellPrev->setFocus();
    WindowHarness::settle(200);
    EXPECT_TRUE(ui(f).teSpell->hasFocus());

    f.session().SetCurSentence(4);
    const QString position = ui(f).pnSubStatus->text();
    ui(f).btSpellNext->click();
    EXPECT_EQ(h.boxes().shown.value(1), "已经是最后一个句子了");
    EXPECT_EQ(f.session().currentSentence(), 4);
    EXPECT_EQ(ui(f).pnSubStatus->text(), position);
    ui(f).btSpellNext->setFocus();
    WindowHarness::settle(200);
    EXPECT_TRUE(ui(f).teSpell->hasFocus());
}

TEST(Dictation, ClickingIntoAHintBoxGivesTheFocusBackToTheAnswerBox)
{
    WindowHarness h(writeDictationLesson);
    MainForm& f = h.load();
    f.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&f));
    f.Toolbar1_ButtonClick("btSpell");
    for (QPlainTextEdit* hint : {ui(f).teChinese, ui(f).teEnglish}) {
        QTest::mouseClick(hint->viewport(), Qt::LeftButton);
        EXPECT_TRUE(hint->hasFocus());
        WindowHarness::settle(200);
        EXPECT_TRUE(ui(f).teSpell->hasFocus());
    }
}

TEST(Dictation, PreviousStepsWithoutRewritingThePositionNextRewritesIt)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.Toolbar1_ButtonClick("btSpell");
    ui(f).btSpellNext->click();
    ui(f).btSpellNext->click();
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 3 句");
    ui(f).btSpellPrev->click();
    EXPECT_EQ(f.session().currentSentence(), 1);
    EXPECT_EQ(ui(f).pnSubStatus->text(), "共 8 句，当前是第 3 句");
    // The page marking does not move with the dictation.
    EXPECT_EQ(h.colourOf("engs0"), "cc0000");
    EXPECT_EQ(h.colourOf("engs1"), "009933");
}

TEST(Dictation, ToStartPresentsSentenceZeroAndLeavesThePositionText)
{
    WindowHarness h;
    MainForm& f = h.load();
    f.session().SetCurSentence(7);
    f.Toolbar1_ButtonClick("btSpell");
    const QString position = ui(f).pnSubStatus->text();
    ui(f).teSpell->setText("half typed");
    int mark = h.player().log.size();
    ui(f).btToStart->click();
    EXPECT_EQ(f.session().currentSentence(), 0);
    EXPECT_EQ(ui(f).teSpell->text(), "");
    EXPECT_EQ(ui(f).pnSubStatus->text(), position);
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList({"stop", "stop"}) + sentenceRange(f, 0));
    EXPECT_TRUE(h.boxes().shown.isEmpty());
}

TEST(Dictation, EnteringWithChineseHiddenRegeneratesAndLeavingRestoresFlagAndSentence)
{
    WindowHarness h([](const QString& folder) { writeSettings(folder + "/settings.ini", {{"ShowChinese", "0"}}); });
    MainForm& f = h.load();
    ASSERT_EQ(f.session().showChinese(), 0);
    ASSERT_TRUE(h.press("engs2"));
    const int pages = h.content().navigations().size();
    f.Toolbar1_ButtonClick("btSpell");
    EXPECT_EQ(dictationCaption(f), "停止听写");
    EXPECT_EQ(h.content().navigations().size(), pages + 1);
    EXPECT_NE(f.session().showChinese(), 0);
    EXPECT_NE(f.session().page()->itemById("chns2"), nullptr);
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(h.colourOf("engs2"), "cc0000");
    EXPECT_EQ(ui(f).teChinese->toPlainText(), "离这儿远吗？");

    ui(f).btSpellNext->click();
    ui(f).btSpellNext->click();
    f.Toolbar1_ButtonClick("btSpell");
    EXPECT_EQ(dictationCaption(f), "逆向听写");
    EXPECT_EQ(f.session().status(), StatusLesson);
    EXPECT_EQ(f.session().showChinese(), 0);
    EXPECT_EQ(h.content().navigations().size(), pages + 2);
    EXPECT_EQ(f.session().page()->itemById("chns2"), nullptr);
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(h.colourOf("engs2"), "cc0000");
    EXPECT_EQ(h.colourOf("engs0"), "009933");
}

TEST(Dictation, WithChineseShownThePageIsNotRegeneratedAndTheEntrySentenceReturns)
{
    WindowHarness h;
    MainForm& f = h.load();
    ASSERT_TRUE(h.press("engs2"));
    const int pages = h.content().navigations().size();
    f.Toolbar1_ButtonClick("btSpell");
    for (int k = 2; k < 7; ++k)
        ui(f).btSpellNext->click();
    EXPECT_EQ(f.session().currentSentence(), 7);
    int mark = h.player().log.size();
    f.Toolbar1_ButtonClick("btSpell");
    EXPECT_EQ(takeSince(h.player().log, mark), QStringList("stop"));
    EXPECT_EQ(h.content().navigations().size(), pages);
    EXPECT_EQ(f.session().currentSentence(), 2);
    EXPECT_EQ(h.colourOf("engs2"), "cc0000");
    EXPECT_NE(f.session().showChinese(), 0);
}

}  // namespace
