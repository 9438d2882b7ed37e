#include "boundaries/StartRange.h"

#include "course/TimingFile.h"

#include <algorithm>

namespace {

constexpr double kStep = 0.01;

}  // namespace

StartRange startRange(const std::vector<double>& starts, const std::vector<double>& firstWords,
                      double recordingSeconds, int sentence)
{
    const size_t k = size_t(sentence);
    StartRange range;
    if (sentence > 0 && k - 1 < starts.size()) {
        const double word = k - 1 < firstWords.size() ? firstWords[k - 1] : -1;
        range.earliest = std::max(starts[k - 1], word) + kStep;
    }
    const double end = recordingSeconds > 0 ? recordingSeconds : timingfile::kLongestRecording;
    range.latest = (k + 1 < starts.size() ? starts[k + 1] : end) - kStep;
    return range;
}
