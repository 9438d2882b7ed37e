// The timing reader. The first two bytes give the capacity of the caller's
// table (0 to 511); the table is allocated with exactly that many entries, so
// AddressSanitizer reports any write past it. The rest is the timing file.

#include "FuzzFiles.h"
#include "lexbaydll.h"

#include <cmath>
#include <cstdlib>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    if (size < 2)
        return 0;
    const int32_t capacity = ((data[0] << 8) | data[1]) % 512;
    const std::string timing = fuzz::writeFile("tlx1001.lrc", data + 2, size - 2);

    std::unique_ptr<double[]> times(capacity > 0 ? new double[std::size_t(capacity)] : nullptr);
    const int32_t stored = dllReadAllTimeInfo(timing.c_str(), times.get(), capacity);
    if (stored < 0 || stored > capacity)
        std::abort();
    for (int32_t i = 0; i < stored; ++i) {
        if (!std::isfinite(times[i]))
            std::abort();
    }
    return 0;
}
