// Time stamps, elapsed milliseconds and the dictation comparison.

#include "lexbaydll.h"

#include <cmath>
#include <cstring>
#include <ctime>

namespace {

// Milliseconds from 1601-01-01 (the file-time epoch) to 1970-01-01.
constexpr long long kEpochOffsetMs = 11644473600000LL;
constexpr long long kFileTimeUnitsPerMs = 10000;

}  // namespace

double dllMyGetTime(void)
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    // The calendar clock has a resolution of one millisecond: truncate.
    long long ms = static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
    unsigned long long count = static_cast<unsigned long long>(ms + kEpochOffsetMs) * kFileTimeUnitsPerMs;
    auto high = static_cast<unsigned long>(count >> 32);
    auto low = static_cast<unsigned long>(count & 0xFFFFFFFFULL);
    return static_cast<double>(high) * 4294967296.0 + static_cast<double>(low);
}

int32_t dllTimePassed(double stamp)
{
    long double now = dllMyGetTime();
    long double ms = std::trunc((now * 1e-7L - static_cast<long double>(stamp) * 1e-7L) * 1000.0L);
    if (!std::isfinite(ms))
        return 0;
    // Only the low 32 bits of the count are returned.
    long double low = std::fmod(ms, 4294967296.0L);
    if (low < 0)
        low += 4294967296.0L;
    return static_cast<int32_t>(static_cast<uint32_t>(low));
}

int32_t dllCompareSentence(const char* typed, const char* right)
{
    if (typed == nullptr)
        typed = "";
    if (right == nullptr)
        right = "";
    if (std::strcmp(typed, right) == 0)
        return -1;
    const auto typedLength = static_cast<int32_t>(std::strlen(typed));
    for (int32_t k = 0; right[k] != '\0'; ++k) {
        if (k >= typedLength)
            return typedLength;
        if (typed[k] != right[k])
            return k;
    }
    return typedLength;
}
