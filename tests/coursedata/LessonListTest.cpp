#include "CourseFiles.h"
#include "lexbaydll.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

void collect(void* list, const char* title)
{
    static_cast<std::vector<std::string>*>(list)->push_back(title);
}

std::vector<std::string> titlesOf(const std::string& bytes, int32_t* count = nullptr)
{
    ScratchFolder scratch;
    std::vector<std::string> titles;
    int32_t n = dllFillLsLesson(scratch.write("lesson.txt", bytes).c_str(), &titles, collect);
    if (count != nullptr)
        *count = n;
    return titles;
}

TEST(LessonList, ListsEveryHeaderInFileOrderWithItsLineEnd)
{
    int32_t count = 0;
    auto titles = titlesOf("$Lesson 1 \xce\xca\xc2\xb7\r\n1. Hi.\r\nni hao\r\n$\r\n\r\n$After the gap\r\n", &count);
    // An empty title lists as the line end alone; a header after an empty
    // line is still listed.
    EXPECT_EQ(titles, (std::vector<std::string>{"Lesson 1 \xce\xca\xc2\xb7\r\n", "\r\n", "After the gap\r\n"}));
    EXPECT_EQ(count, 3);
}

TEST(LessonList, FileWithoutHeadersOrMissingFileAddsNothing)
{
    int32_t count = -1;
    EXPECT_TRUE(titlesOf("1. Hi.\r\nni hao\r\n", &count).empty());
    EXPECT_EQ(count, 0);

    std::vector<std::string> titles{"kept"};
    EXPECT_EQ(dllFillLsLesson("/no/such/lesson.txt", &titles, collect), 0);
    EXPECT_EQ(titles, std::vector<std::string>{"kept"});
}

TEST(LessonList, LongLinesArriveInPiecesOf997Bytes)
{
    // The piece after the first 997 bytes starts with '$' and counts as a header.
    std::string line = "x" + std::string(996, 'y') + "$tail\r\n";
    EXPECT_EQ(titlesOf(line), std::vector<std::string>{"tail\r\n"});
}

}  // namespace
