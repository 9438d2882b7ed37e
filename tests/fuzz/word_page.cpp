// The word list reader with section selection and the word page generator.
// The first byte picks the lesson index (-2 to 7); the rest is the word file.

#include "FuzzFiles.h"
#include "lexbaydll.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int32_t lessonIndex = int32_t(data[0] % 10) - 2;
    const std::string words = fuzz::writeFile("words.txt", data + 1, size - 1);
    const std::string page = fuzz::scratchFile("curLessonwords.htm");

    if (dllMakeHtmlWords(fuzz::headFile().c_str(), words.c_str(), page.c_str(), lessonIndex) != 0)
        std::abort();
    if (!fuzz::endsWith(fuzz::readFile(page), fuzz::kPageEnd))
        std::abort();
    return 0;
}
