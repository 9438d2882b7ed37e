#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

namespace {

const std::string kHead = "<html><head><meta charset=gb18030></head>\r\n<body><table>\r\n";

const std::string kLesson =
    "$Lesson 1 Greetings\r\n"
    "1. Hello.\r\n"
    "\xc4\xe3\xba\xc3\xa1\xa3\r\n"
    "2. Mr. Smith is here.\r\n"
    "\xca\xb7\xc3\xdc\xcb\xb9\xcf\xc8\xc9\xfa\xd4\xda\xd5\xe2\xb6\xf9\xa1\xa3\r\n"
    "$Lesson 2 Empty\r\n"
    "$Lesson 3 Three\r\n"
    "Good morning\r\n"
    "\xd4\xe7\xc9\xcf\xba\xc3\r\n"
    "\r\n"
    "$Lesson 4 After the end\r\n"
    "1. Unreachable.\r\n"
    "x\r\n";

const std::string kClosing = "</table>\r\n</body>\r\n</html>\r\n";

std::string englishRow(const std::string& n, const std::string& text)
{
    return "<tr>\r\n"
           "<td width=\"4%\" height=\"20\"> <img id=\"imgs" + n +
           "\" border=\"0\" src=\"sound.jpg\" width=\"20\" height=\"16\"></td>\r\n"
           "<td width = \"196%\",height = \"20\"> <a id = \"engs" + n + "\" class = \"yaowen\">" + text +
           "</a></td>\r\n"
           "</tr>\r\n";
}

std::string chineseRow(const std::string& n, const std::string& text)
{
    return "<tr>\r\n"
           "<td width=\"4%\" height=\"20\"> </td>\r\n"
           "<td width = \"196%\",height = \"20\"> <a id = \"chns" + n + "\" class = \"zhongwen\">" + text +
           "</a></td>\r\n"
           "</tr>\r\n";
}

class LessonPage : public ::testing::Test {
protected:
    int32_t make(int32_t index, int32_t showChinese, const std::string& lesson = kLesson)
    {
        return dllMakeHtml(scratch.write("head.txt", kHead).c_str(), scratch.write("lesson.txt", lesson).c_str(),
                           page.c_str(), index, showChinese);
    }
    std::string written() const { return readBytes(page); }

    ScratchFolder scratch;
    std::string page = scratch.file("curLesson.htm");
};

TEST_F(LessonPage, WritesHeadRowsAndClosingByteForByte)
{
    EXPECT_EQ(make(0, -1), 2);
    // The label ends at the first full stop: the sentence keeps its own.
    EXPECT_EQ(written(), kHead + englishRow("0", " Hello.\r\n") + chineseRow("0", "\xc4\xe3\xba\xc3\xa1\xa3\r\n") +
                             englishRow("1", " Mr. Smith is here.\r\n") +
                             chineseRow("1", "\xca\xb7\xc3\xdc\xcb\xb9\xcf\xc8\xc9\xfa\xd4\xda\xd5\xe2\xb6\xf9\xa1\xa3\r\n") +
                             kClosing);
}

TEST_F(LessonPage, WithoutChineseKeepsPairingAndWritesNoChineseIds)
{
    EXPECT_EQ(make(0, 0), 2);
    EXPECT_EQ(written(), kHead + englishRow("0", " Hello.\r\n") + englishRow("1", " Mr. Smith is here.\r\n") + kClosing);
}

TEST_F(LessonPage, LineWithoutFullStopIsTheWholeSentence)
{
    EXPECT_EQ(make(2, 1), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", "Good morning\r\n") + chineseRow("0", "\xd4\xe7\xc9\xcf\xba\xc3\r\n") +
                             kClosing);
}

TEST_F(LessonPage, LessonsWithoutSentencesGiveHeadAndClosingOnly)
{
    for (int32_t index : {1, 3, 4, 99, -1, -2, -1000}) {
        SCOPED_TRACE(index);
        EXPECT_EQ(make(index, 1), 0);
        EXPECT_EQ(written(), kHead + kClosing);
    }
}

TEST_F(LessonPage, ChineseLineStartingWithDollarIsText)
{
    EXPECT_EQ(make(0, 1, "$L\r\n1. Price?\r\n$5\r\n$M\r\n"), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", " Price?\r\n") + chineseRow("0", "$5\r\n") + kClosing);
}

TEST_F(LessonPage, EmptyLineInsideLessonEndsThePage)
{
    std::string lesson = "$L\r\n1. One.\r\nyi\r\n\r\n2. Two.\r\ner\r\n";
    EXPECT_EQ(make(0, 1, lesson), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", " One.\r\n") + chineseRow("0", "yi\r\n") + kClosing);
}

TEST_F(LessonPage, IndexMinusOneSelectsLinesBeforeTheFirstHeader)
{
    std::string lesson = "0. Before.\r\nqian\r\n$L\r\n1. After.\r\nhou\r\n";
    EXPECT_EQ(make(-1, 1, lesson), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", " Before.\r\n") + chineseRow("0", "qian\r\n") + kClosing);
}

TEST_F(LessonPage, PercentSignsAndMarkupInSentencesAreCopiedUnchanged)
{
    std::string lesson = "$L\r\n1. 50%d off & <b>%s</b> %%\r\n%d%%\r\n";
    EXPECT_EQ(make(0, 1, lesson), 1);
    EXPECT_EQ(written(),
              kHead + englishRow("0", " 50%d off & <b>%s</b> %%\r\n") + chineseRow("0", "%d%%\r\n") + kClosing);
}

TEST_F(LessonPage, LinesOf997BytesAreOneReadAndLongerOnesSplit)
{
    std::string exact = "1." + std::string(993, 'a') + "\r\n";  // 997 bytes, line end included
    ASSERT_EQ(exact.size(), 997u);
    EXPECT_EQ(make(0, 1, "$L\r\n" + exact + "zh\r\n"), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", std::string(993, 'a') + "\r\n") + chineseRow("0", "zh\r\n") + kClosing);

    // One byte more: the 998th byte and the line end arrive as a further
    // line, which pairs as the Chinese line; the text is written whole.
    std::string longer = "1." + std::string(995, 'b') + "c\r\n";
    EXPECT_EQ(make(0, 1, "$L\r\n" + longer), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", std::string(995, 'b')) + chineseRow("0", "c\r\n") + kClosing);
}

TEST_F(LessonPage, SentencesBeyondTheRowBufferAreWrittenWhole)
{
    // Long enough that a formatted row would overflow a 1000-byte buffer.
    std::string text = std::string(990, 'w') + "\r\n";
    EXPECT_EQ(make(0, 1, "$L\r\n" + text + std::string(980, 'z') + "\r\n"), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", text) + chineseRow("0", std::string(980, 'z') + "\r\n") + kClosing);
}

TEST_F(LessonPage, MissingChineseLineAtEndOfFileGivesEmptyChineseText)
{
    EXPECT_EQ(make(0, 1, "$L\r\n1. Last."), 1);
    EXPECT_EQ(written(), kHead + englishRow("0", " Last.") + chineseRow("0", "") + kClosing);
}

TEST_F(LessonPage, ExistingPageIsReplacedNotAppended)
{
    scratch.write("curLesson.htm", std::string(5000, 'x'));
    make(0, 0);
    EXPECT_EQ(written(), kHead + englishRow("0", " Hello.\r\n") + englishRow("1", " Mr. Smith is here.\r\n") + kClosing);
}

TEST_F(LessonPage, MissingInputsStillGiveALoadablePage)
{
    EXPECT_EQ(dllMakeHtml(scratch.file("nohead.txt").c_str(), scratch.write("lesson.txt", kLesson).c_str(),
                          page.c_str(), 0, 0),
              2);
    EXPECT_EQ(written(), englishRow("0", " Hello.\r\n") + englishRow("1", " Mr. Smith is here.\r\n") + kClosing);

    EXPECT_EQ(dllMakeHtml(scratch.write("head.txt", kHead).c_str(), scratch.file("nolesson.txt").c_str(),
                          page.c_str(), 0, 1),
              0);
    EXPECT_EQ(written(), kHead + kClosing);
}

TEST_F(LessonPage, UncreatablePageWritesNothingAndCountsNothing)
{
    std::string unwritable = scratch.file("no-such-folder/curLesson.htm");
    EXPECT_EQ(dllMakeHtml(scratch.write("head.txt", kHead).c_str(), scratch.write("lesson.txt", kLesson).c_str(),
                          unwritable.c_str(), 0, 1),
              0);
    EXPECT_FALSE(std::filesystem::exists(unwritable));
}

}  // namespace
