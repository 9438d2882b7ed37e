// The lesson page: the shipped head, two table rows per sentence, the
// closing lines.

#include "LessonText.h"
#include "PageWriter.h"
#include "lexbaydll.h"

using namespace coursedata;

namespace {

const char* const kEnglishRow[] = {
    "<tr>\r\n",
    "<td width=\"4%%\" height=\"20\"> <img id=\"imgs%d\" border=\"0\" src=\"sound.jpg\" width=\"20\" height=\"16\"></td>\r\n",
    "<td width = \"196%%\",height = \"20\"> <a id = \"engs%d\" class = \"yaowen\">%s</a></td>\r\n",
    "</tr>\r\n",
};

const char* const kChineseRow[] = {
    "<tr>\r\n",
    "<td width=\"4%%\" height=\"20\"> </td>\r\n",
    "<td width = \"196%%\",height = \"20\"> <a id = \"chns%d\" class = \"zhongwen\">%s</a></td>\r\n",
    "</tr>\r\n",
};

const char* const kClosingLines[] = {"</table>\r\n", "</body>\r\n", "</html>\r\n"};

void writeRow(PageWriter& page, const char* const (&row)[4], int32_t sentence, const char* text)
{
    for (const char* tmpl : row)
        page.writeTemplate(tmpl, sentence, text);
}

}  // namespace

int32_t dllMakeHtml(const char* headFile, const char* lessonFile, const char* pageFile,
                    int32_t lessonIndex, int32_t showChinese)
{
    PageWriter page(pageFile);
    if (!page.isOpen())
        return 0;
    page.copyFile(headFile);

    // The Chinese line is read even when it is not shown, so English and
    // Chinese lines stay paired.
    SentenceReader lesson(lessonFile, lessonIndex);
    int32_t sentence = 0;
    while (lesson.next()) {
        writeRow(page, kEnglishRow, sentence, lesson.english());
        if (showChinese != 0)
            writeRow(page, kChineseRow, sentence, lesson.chinese());
        ++sentence;
    }

    for (const char* line : kClosingLines)
        page.writeTemplate(line);
    return sentence;
}
