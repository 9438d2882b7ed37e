#include "platform/analysis/Alignment.h"

#include "platform/analysis/FrameWarping.h"

#include <algorithm>
#include <cmath>

namespace {

// The band's half width, as a share of the longer sequence.
constexpr double kBandShare = 0.3;
constexpr int kNarrowestBand = 10;
// Longer pairs are compared at a coarser step, so time and memory stay
// bounded (2000 x 2000 frames: 20 s against 20 s).
constexpr long kMostCells = 2000L * 2000L;

// End to end, each step advancing a, b or both by one; a diagonal step pays
// its cell twice, so that the cost does not depend on how the path turns.
const WarpingRule kEndToEnd = {{{1, 1, 2}, {1, 0, 1}, {0, 1, 1}}, 2, false, false};

// Around the straight line from start to end.
WarpingBand diagonalBand(int n, int m)
{
    const double slope = n > 1 ? double(m - 1) / (n - 1) : 0;
    const int half = std::max(kNarrowestBand, int(std::ceil(kBandShare * std::max(n, m))));
    WarpingBand band;
    for (int i = 0; i < n; ++i) {
        const int centre = int(std::lround(i * slope));
        band.low.push_back(std::max(0, centre - half));
        band.high.push_back(std::min(m - 1, centre + half) + 1);
    }
    return band;
}

Alignment alignSameScale(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b)
{
    const WarpedPath warped = warpFrames(a, b, diagonalBand(int(a.size()), int(b.size())), kEndToEnd);
    Alignment result;
    if (warped.cells.empty())
        return result;
    result.meanDistance = warped.cost / double(a.size() + b.size());
    result.path = warped.cells;
    return result;
}

}  // namespace

Alignment alignFrames(const std::vector<CepstralFrame>& a, const std::vector<CepstralFrame>& b)
{
    if (a.empty() || b.empty())
        return {};
    const double cells = double(a.size()) * double(b.size());
    const int factor = cells > kMostCells ? int(std::ceil(std::sqrt(cells / kMostCells))) : 1;
    Alignment aligned = factor == 1 ? alignSameScale(a, b)
                                    : alignSameScale(averagedFrames(a, factor), averagedFrames(b, factor));
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
