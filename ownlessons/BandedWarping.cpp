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

// How each cell was reached: from the cell one reference frame back and
// one, two or three recording frames back (the recording runs as fast as
// the reference, or up to three times slower: a long pause), or two
// reference frames back and one recording frame (twice as fast).
enum Step : uint8_t { OneOne, OneTwo, OneThree, TwoOne, Start };

}  // namespace

// Every path pays once per reference frame, the distance to its recording
// frame, so paths of any shape compare fairly and the open ends cost nothing.
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
    std::vector<uint8_t> steps(offset.back(), Start);
    // Cost rows i-2, i-1 and i, each with the recording frame it starts at.
    std::vector<float> twoBack, oneBack, current;
    int twoBackLow = 0, oneBackLow = 0;
    auto at = [](const std::vector<float>& row, int rowLow, int column) {
        const int k = column - rowLow;
        return k >= 0 && k < int(row.size()) ? row[size_t(k)] : kFar;
    };
    for (int i = 0; i < rows; ++i) {
        const int low = band.low[i];
        const int width = std::max(0, band.high[i] - low);
        current.assign(size_t(width), kFar);
        for (int j = 0; j < width; ++j) {
            const int column = low + j;
            const float cost = distanceOf(reference[size_t(i)], recording[size_t(column)]);
            float best = i == 0 ? 0.0f : kFar;  // open begin: any frame of the first row
            uint8_t step = Start;
            if (i > 0) {
                for (int back = 1; back <= 3; ++back) {
                    const float before = at(oneBack, oneBackLow, column - back);
                    if (before < best) {
                        best = before;
                        step = uint8_t(OneOne + back - 1);
                    }
                }
            }
            if (i > 1) {
                // Reference frame i-1 is matched with this recording frame too.
                const float before = at(twoBack, twoBackLow, column - 1)
                                     + distanceOf(reference[size_t(i - 1)], recording[size_t(column)]);
                if (before < best) {
                    best = before;
                    step = TwoOne;
                }
            }
            if (best == kFar)
                continue;
            current[size_t(j)] = best + cost;
            steps[offset[i] + size_t(j)] = step;
        }
        twoBack.swap(oneBack);
        twoBackLow = oneBackLow;
        oneBack.swap(current);
        oneBackLow = low;
    }
    // Open end: the cheapest cell of the last row.
    const auto last = std::min_element(oneBack.begin(), oneBack.end());
    if (last == oneBack.end() || *last == kFar)
        return warping;
    warping.matched.assign(size_t(rows), 0);
    warping.distance.assign(size_t(rows), 0);
    int i = rows - 1;
    int j = oneBackLow + int(last - oneBack.begin());
    for (;;) {
        warping.matched[size_t(i)] = j;
        warping.distance[size_t(i)] = distanceOf(reference[size_t(i)], recording[size_t(j)]);
        const uint8_t step = steps[offset[i] + size_t(j - band.low[i])];
        if (step == Start || i == 0)
            break;
        if (step == TwoOne) {
            warping.matched[size_t(i - 1)] = j;
            warping.distance[size_t(i - 1)] = distanceOf(reference[size_t(i - 1)], recording[size_t(j)]);
            i -= 2;
            j -= 1;
        } else {
            i -= 1;
            j -= 1 + (step - OneOne);
        }
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
