#include "platform/analysis/Alignment.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// The band's half width, as a share of the longer sequence.
constexpr double kBandShare = 0.3;
constexpr int kNarrowestBand = 10;
// Longer pairs are compared at a coarser step, so time and memory stay
// bounded (2000 x 2000 frames: 20 s against 20 s).
constexpr long kMostCells = 2000L * 2000L;

enum Step : std::uint8_t { None, Diagonal, AlongA, AlongB };

float distance(const CepstralFrame& x, const CepstralFrame& y)
{
    float sum = 0;
    for (int c = 0; c < kCepstralCount; ++c) {
        const float d = x[c] - y[c];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// Every `factor` frames averaged into one.
std::vector<CepstralFrame> coarser(const std::vector<CepstralFrame>& frames, int factor)
{
    if (factor == 1)
        return frames;
    std::vector<CepstralFrame> out((frames.size() + factor - 1) / factor, CepstralFrame{});
    for (size_t i = 0; i < frames.size(); ++i) {
        for (int c = 0; c < kCepstralCount; ++c)
            out[i / factor][c] += frames[i][c];
    }
    for (size_t k = 0; k < out.size(); ++k) {
        const int count = int(std::min<size_t>(factor, frames.size() - k * factor));
        for (float& value : out[k])
            value /= float(count);
    }
    return out;
}

Alignment alignSameScale(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b)
{
    const int n = int(a.size());
    const int m = int(b.size());
    const double slope = n > 1 ? double(m - 1) / (n - 1) : 0;
    const int band = std::max(kNarrowestBand, int(std::ceil(kBandShare * std::max(n, m))));
    const float infinity = std::numeric_limits<float>::infinity();
    std::vector<float> cost(size_t(n) * m, infinity);
    std::vector<std::uint8_t> step(size_t(n) * m, None);
    const auto at = [m](int i, int j) { return size_t(i) * m + j; };
    for (int i = 0; i < n; ++i) {
        const int centre = int(std::lround(i * slope));
        const int from = std::max(0, centre - band);
        const int to = std::min(m - 1, centre + band);
        for (int j = from; j <= to; ++j) {
            const float d = distance(a[i], b[j]);
            if (i == 0 && j == 0) {
                cost[0] = 2 * d;
                continue;
            }
            float best = infinity;
            Step how = None;
            if (i > 0 && j > 0 && cost[at(i - 1, j - 1)] + 2 * d < best) {
                best = cost[at(i - 1, j - 1)] + 2 * d;
                how = Diagonal;
            }
            if (i > 0 && cost[at(i - 1, j)] + d < best) {
                best = cost[at(i - 1, j)] + d;
                how = AlongA;
            }
            if (j > 0 && cost[at(i, j - 1)] + d < best) {
                best = cost[at(i, j - 1)] + d;
                how = AlongB;
            }
            cost[at(i, j)] = best;
            step[at(i, j)] = how;
        }
    }
    Alignment result;
    if (!std::isfinite(cost[at(n - 1, m - 1)]))
        return result;
    result.meanDistance = cost[at(n - 1, m - 1)] / double(n + m);
    for (int i = n - 1, j = m - 1;;) {
        result.path.emplace_back(i, j);
        const std::uint8_t how = step[at(i, j)];
        if (how == None)
            break;
        if (how != AlongB)
            --i;
        if (how != AlongA)
            --j;
    }
    std::reverse(result.path.begin(), result.path.end());
    return result;
}

}  // namespace

Alignment alignFrames(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b)
{
    if (a.empty() || b.empty())
        return {};
    const double cells = double(a.size()) * double(b.size());
    const int factor = cells > kMostCells ? int(std::ceil(std::sqrt(cells / kMostCells))) : 1;
    Alignment aligned = alignSameScale(coarser(a, factor), coarser(b, factor));
    if (factor == 1)
        return aligned;
    // Back to whole frames: each coarse pair stands for the frames it holds.
    std::vector<std::pair<int, int>> path;
    for (const auto& [i, j] : aligned.path) {
        for (int k = 0; k < factor; ++k) {
            const int fi = std::min(int(a.size()) - 1, i * factor + k);
            const int fj = std::min(int(b.size()) - 1, j * factor + k);
            path.emplace_back(fi, fj);
        }
    }
    aligned.path = std::move(path);
    return aligned;
}
