// The lesson text reader with section selection and the lesson page
// generator. The first byte picks the lesson index (-2 to 7), the second the
// Chinese-lines flag; the rest is the lesson text file.

#include "FuzzFiles.h"
#include "lexbaydll.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int32_t lessonIndex = int32_t(data[0] % 10) - 2;
    const int32_t showChinese = data[1] & 1;
    const std::string lesson = fuzz::writeFile("lesson.txt", data + 2, size - 2);
    const std::string page = fuzz::scratchFile("curLesson.htm");

    const int32_t sentences = dllMakeHtml(fuzz::headFile().c_str(), lesson.c_str(), page.c_str(), lessonIndex, showChinese);
    // Each sentence takes at least one line, and each line at least one byte.
    if (sentences < 0 || std::size_t(sentences) > size - 2)
        std::abort();
    const std::string written = fuzz::readFile(page);
    if (written.compare(0, fuzz::readFile(fuzz::headFile()).size(), fuzz::readFile(fuzz::headFile())) != 0)
        std::abort();
    if (!fuzz::endsWith(written, fuzz::kPageEnd))
        std::abort();
    return 0;
}
