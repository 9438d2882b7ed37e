// The word page: the shipped head, one table row per word entry, the closing
// lines.

#include "LessonText.h"
#include "PageWriter.h"
#include "lexbaydll.h"

using namespace coursedata;

namespace {

// Each sized cell follows an empty one. Entry lines are written after the
// openings as they stand: they are data, never templates.
const char* const kRowOpen = "<tr>\r\n";
const char* const kWordCell = "<td><td width=\"28%%\" class = yaowen >";
const char* const kPhoneticCell = "<td><td width=\"26%%\" class = yinbiao>";
const char* const kMeaningCell = "<td><td width=\"46%%\" class = zhongwen>";
const char* const kCellClose = "</td>\r\n";
const char* const kRowClose = "</tr>\r\n";

const char* const kClosingLines[] = {"</table>\r\n", "</body>\r\n", "</html>\r\n"};

void writeCell(PageWriter& page, const char* opening, const char* content)
{
    page.writeTemplate(opening);
    page.write(content);
    page.write(kCellClose);
}

}  // namespace

int32_t dllMakeHtmlWords(const char* headFile, const char* wordFile, const char* pageFile,
                         int32_t lessonIndex)
{
    PageWriter page(pageFile);
    if (!page.isOpen())
        return 0;
    page.copyFile(headFile);

    WordEntryReader words(wordFile, lessonIndex);
    while (words.next()) {
        page.writeTemplate(kRowOpen);
        writeCell(page, kWordCell, words.word());
        writeCell(page, kPhoneticCell, words.phonetic());
        writeCell(page, kMeaningCell, words.meaning());
        page.writeTemplate(kRowClose);
    }

    for (const char* line : kClosingLines)
        page.writeTemplate(line);
    return 0;
}
