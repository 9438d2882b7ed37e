#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

namespace {

const std::string kHead = "<html><body><table>\r\n";
const std::string kClosing = "</table>\r\n</body>\r\n</html>\r\n";

const std::string kWords =
    "$Lesson 1\r\n"
    "station\r\n/\xcb\x88ste\xc9\xaa\xca\x83\xc9\x99n/\r\n\xb3\xb5\xd5\xbe\r\n"
    "100%\r\n/p\xc9\x99\xcb\x88sent/\r\n%%d\r\n"
    "$Lesson 2\r\n"
    "$Lesson 3\r\n"
    "cut\r\n/k\xca\x8ct/\r\n";

std::string row(const std::string& word, const std::string& phonetic, const std::string& meaning)
{
    return "<tr>\r\n"
           "<td><td width=\"28%\" class = yaowen >" + word + "</td>\r\n"
           "<td><td width=\"26%\" class = yinbiao>" + phonetic + "</td>\r\n"
           "<td><td width=\"46%\" class = zhongwen>" + meaning + "</td>\r\n"
           "</tr>\r\n";
}

class WordPage : public ::testing::Test {
protected:
    int32_t make(int32_t index, const std::string& words = kWords)
    {
        return dllMakeHtmlWords(scratch.write("head.txt", kHead).c_str(), scratch.write("words.txt", words).c_str(),
                                page.c_str(), index);
    }
    ScratchFolder scratch;
    std::string page = scratch.file("curLessonwords.htm");
};

TEST_F(WordPage, WritesEntriesAsDataNotTemplates)
{
    EXPECT_EQ(make(0), 0);
    // Percent signs in entries stay as they are.
    EXPECT_EQ(readBytes(page),
              kHead + row("station\r\n", "/\xcb\x88ste\xc9\xaa\xca\x83\xc9\x99n/\r\n", "\xb3\xb5\xd5\xbe\r\n") +
                  row("100%\r\n", "/p\xc9\x99\xcb\x88sent/\r\n", "%%d\r\n") + kClosing);
}

TEST_F(WordPage, EntryLinesAreReadWithoutLookingAtThem)
{
    // A '$' line or an empty line inside an entry is its transcription or
    // meaning, not a header or the end of the data.
    make(0, "$A\r\nw\r\n\r\n$m\r\n$B\r\n");
    EXPECT_EQ(readBytes(page), kHead + row("w\r\n", "\r\n", "$m\r\n") + kClosing);
}

TEST_F(WordPage, LessonsWithoutWordsGiveAnEmptyTable)
{
    for (int32_t index : {1, 7}) {
        SCOPED_TRACE(index);
        make(index);
        EXPECT_EQ(readBytes(page), kHead + kClosing);
    }
}

TEST_F(WordPage, EntryCutShortGetsEmptyCells)
{
    make(2);
    EXPECT_EQ(readBytes(page), kHead + row("cut\r\n", "/k\xca\x8ct/\r\n", "") + kClosing);
}

TEST_F(WordPage, EmptyLineBeforeTheLessonEndsTheList)
{
    make(1, "$A\r\nw\r\np\r\nm\r\n\r\n$B\r\nx\r\ny\r\nz\r\n");
    EXPECT_EQ(readBytes(page), kHead + kClosing);
}

TEST_F(WordPage, ExistingPageIsReplaced)
{
    scratch.write("curLessonwords.htm", std::string(3000, 'q'));
    make(1);
    EXPECT_EQ(readBytes(page), kHead + kClosing);
}

}  // namespace
