// Sentence start times from a lesson's timing file: one line per sentence,
// "[mm:ss.xx]" at fixed byte positions, the rest of the line ignored.

#include "LineReader.h"
#include "TimingLine.h"
#include "lexbaydll.h"

#include <cstring>

using namespace coursedata;

namespace {

constexpr std::size_t kTimingLineBuffer = 798;

}  // namespace

int32_t dllReadAllTimeInfo(const char* timingFile, double* times, int32_t capacity)
{
    if (times == nullptr || capacity <= 0)
        return 0;
    LineReader reader(timingFile, kTimingLineBuffer);
    int32_t stored = 0;
    while (stored < capacity) {
        // A short line must not pick up bytes of an earlier, longer one:
        // what the line does not hold counts as absent.
        reader.clearLine();
        if (!reader.next())
            break;
        const char* line = reader.line();
        times[stored++] = timingLineStart(line, std::strlen(line));
    }
    return stored;
}
