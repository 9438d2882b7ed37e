// The lesson list: every title of a lesson text file.

#include "LessonText.h"
#include "lexbaydll.h"

using namespace coursedata;

int32_t dllFillLsLesson(const char* lessonFile, void* list, LexbayListSink addItem)
{
    LineReader reader(lessonFile, kCourseLineBuffer);
    int32_t count = 0;
    // Unlike the page generators, the title listing does not stop at an
    // empty line: every header of the file is listed.
    while (reader.next()) {
        if (!isHeader(reader.line()))
            continue;
        if (addItem != nullptr)
            addItem(list, reader.line() + 1);
        ++count;
    }
    return count;
}
