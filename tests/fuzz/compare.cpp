// The dictation comparison. The input up to its first zero byte is the typed
// text, the rest the right text. The result is -1 exactly when both are
// equal; otherwise the first position where both go on and differ, or the
// typed text's length when one text is the beginning of the other.

#include "lexbaydll.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t split = input.find('\0');
    const std::string typed = input.substr(0, split);
    const std::string right = split == std::string::npos ? std::string() : input.substr(split + 1).c_str();

    const int32_t at = dllCompareSentence(typed.c_str(), right.c_str());
    if (typed == right) {
        if (at != -1)
            std::abort();
        return 0;
    }
    const std::size_t common = std::min(typed.size(), right.size());
    const std::size_t firstDifference = std::mismatch(typed.begin(), typed.begin() + common, right.begin()).first - typed.begin();
    const std::size_t expected = firstDifference < common ? firstDifference : typed.size();
    if (at < 0 || std::size_t(at) != expected)
        std::abort();
    return 0;
}
