// The title listing: every title handed to the sink is a zero-terminated
// line of at most 996 bytes (the line buffer less the '$'), and the count
// returned is the number of titles handed over.

#include "FuzzFiles.h"
#include "lexbaydll.h"

#include <cstdlib>
#include <cstring>

namespace {

struct Listing {
    int32_t titles = 0;
    std::size_t headers = 0;
};

void addTitle(void* list, const char* title)
{
    if (title == nullptr || std::strlen(title) > 996)
        std::abort();
    ++static_cast<Listing*>(list)->titles;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string lesson = fuzz::writeFile("lesson.txt", data, size);
    Listing listing;
    for (std::size_t i = 0; i < size; ++i)
        listing.headers += data[i] == '$';
    const int32_t count = dllFillLsLesson(lesson.c_str(), &listing, addTitle);
    if (count != listing.titles || std::size_t(count) > listing.headers)
        std::abort();
    // A missing sink only counts.
    if (dllFillLsLesson(lesson.c_str(), nullptr, nullptr) != count)
        std::abort();
    return 0;
}
