#include "LessonText.h"

#include "lexbaydll.h"

#include <cstring>

namespace coursedata {

bool SectionSelection::nextRecord()
{
    while (!ended_) {
        if (!reader_.next() || isEmptyLine(reader_.line())) {
            // The data ends at the first empty line of the file, even when
            // it lies before the wanted section.
            ended_ = true;
            break;
        }
        const char* line = reader_.line();
        if (headersSeen_ < index_) {
            if (isHeader(line))
                ++headersSeen_;
            continue;
        }
        if (headersSeen_ == index_) {
            if (isHeader(line)) {
                ended_ = true;
                break;
            }
            return true;
        }
        // Past the wanted section: only reachable for indices below -1.
    }
    return false;
}

const char* sentenceText(const char* englishLine)
{
    const char* stop = std::strchr(englishLine, '.');
    return stop != nullptr ? stop + 1 : englishLine;
}

}  // namespace coursedata

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
