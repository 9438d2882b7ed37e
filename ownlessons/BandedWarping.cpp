#include "ownlessons/BandedWarping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

float distanceOf(const SpeechCepstrum& a, const SpeechCepstrum& b)
{
    float sum = 0;
    for (int k = 0; k < kSpeechCepstra; ++k) {
        const float d = a[k] - b[k];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// How each cell was reached.
enum Step : uint8_t { FromDiagonal, FromLeft, FromBelow, Start };

}  // namespace

Warping warpInBand(const std::vector<SpeechCepstrum>& reference, const std::vector<SpeechCepstrum>& recording,
                   const WarpingBand& band)
{
    const int rows = int(reference.size());
    Warping warping;
    if (rows == 0 || recording.empty())
        return warping;
    constexpr float kFar = std::numeric_limits<float>::infinity();
    // Row offsets into one array of steps: memory is the band's area.
    std::vector<size_t> offset(size_t(rows) + 1, 0);
    for (int i = 0; i < rows; ++i)
        offset[i + 1] = offset[i] + size_t(std::max(0, band.high[i] - band.low[i]));
    std::vector<uint8_t> steps(offset.back());
    std::vector<float> previous, current;
    int previousLow = 0;
    for (int i = 0; i < rows; ++i) {
        const int low = band.low[i];
        const int width = band.high[i] - low;
        current.assign(size_t(std::max(0, width)), kFar);
        for (int j = 0; j < width; ++j) {
            const float cost = distanceOf(reference[i], recording[size_t(low + j)]);
            uint8_t step = Start;
            float best = i == 0 ? 0.0f : kFar;  // open begin: any frame of the first row
            if (i > 0) {
                const int below = low + j - previousLow;
                if (below >= 0 && below < int(previous.size()) && previous[below] < best) {
                    best = previous[below];
                    step = FromBelow;
                }
                if (below - 1 >= 0 && below - 1 < int(previous.size()) && previous[below - 1] <= best) {
                    best = previous[below - 1];
                    step = FromDiagonal;
                }
            }
            if (j > 0 && current[j - 1] < best) {
                best = current[j - 1];
                step = FromLeft;
            }
            if (best == kFar)
                continue;
            // A diagonal step pays for its cell twice, like a step right and up.
            current[j] = best + (step == FromDiagonal ? 2 : 1) * cost;
            steps[offset[i] + size_t(j)] = step;
        }
        previous.swap(current);
        previousLow = low;
    }
    // Open end: the cheapest cell of the last row.
    const auto last = std::min_element(previous.begin(), previous.end());
    if (last == previous.end() || *last == kFar)
        return warping;
    int i = rows - 1;
    int j = band.low[i] + int(last - previous.begin());
    warping.matched.assign(size_t(rows), 0);
    warping.distance.assign(size_t(rows), 0);
    for (;;) {
        warping.matched[i] = j;
        warping.distance[i] = distanceOf(reference[i], recording[size_t(j)]);
        const uint8_t step = steps[offset[i] + size_t(j - band.low[i])];
        if (step == Start)
            break;
        if (step == FromLeft) {
            --j;
            continue;
        }
        if (step == FromDiagonal)
            --j;
        --i;
    }
    return warping;
}

std::vector<SpeechCepstrum> coarsened(const std::vector<SpeechCepstrum>& frames, int factor)
{
    std::vector<SpeechCepstrum> coarse((frames.size() + size_t(factor) - 1) / size_t(factor));
    for (size_t c = 0; c < coarse.size(); ++c) {
        const size_t begin = c * size_t(factor);
        const size_t end = std::min(frames.size(), begin + size_t(factor));
        SpeechCepstrum sum{};
        for (size_t f = begin; f < end; ++f)
            for (int k = 0; k < kSpeechCepstra; ++k)
                sum[k] += frames[f][k];
        for (int k = 0; k < kSpeechCepstra; ++k)
            sum[k] /= float(end - begin);
        coarse[c] = sum;
    }
    return coarse;
}
