#pragma once

// The one time warping: the cheapest path that walks a sequence of frames
// (rows) against another (columns), inside a band of columns per row, so
// that time and memory grow with the band's area. Which steps a path may
// take, what each pays and whether its ends are open is the caller's rule:
// the comparison aligns two readings end to end, the own-lesson aligner
// finds a text's reading somewhere inside an hour's recording.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

template <size_t N>
float frameDistance(const std::array<float, N>& x, const std::array<float, N>& y)
{
    float sum = 0;
    for (size_t c = 0; c < N; ++c) {
        const float d = x[c] - y[c];
        sum += d * d;
    }
    return std::sqrt(sum);
}

// Every `factor` frames averaged into one (the last of fewer).
template <size_t N>
std::vector<std::array<float, N>> averagedFrames(const std::vector<std::array<float, N>>& frames, int factor)
{
    std::vector<std::array<float, N>> coarse((frames.size() + size_t(factor) - 1) / size_t(factor));
    for (size_t k = 0; k < coarse.size(); ++k) {
        const size_t begin = k * size_t(factor);
        const size_t end = std::min(frames.size(), begin + size_t(factor));
        std::array<float, N> sum{};
        for (size_t f = begin; f < end; ++f)
            for (size_t c = 0; c < N; ++c)
                sum[c] += frames[f][c];
        for (float& value : sum)
            value /= float(end - begin);
        coarse[k] = sum;
    }
    return coarse;
}

struct WarpingBand {
    // For row i, the columns [low[i], high[i]); both rise with i.
    std::vector<int> low;
    std::vector<int> high;
};

struct WarpingStep {
    // Where the step comes from: this many rows and columns back (0 rows: along
    // the row).
    int rows;
    int columns;
    // The cell's distance counts this many times; a step of two or more rows
    // also pays once for each row it passes, at the cell's column.
    float weight;
};

struct WarpingRule {
    // Tried in this order: of steps of equal cost the first is taken.
    std::vector<WarpingStep> steps;
    // The first cell's distance counts this many times.
    float startWeight = 1;
    // A path may begin at any cell of the first row (else at its first
    // column only) and end at any cell of the last row (else at its last).
    bool openBegin = false;
    bool openEnd = false;
};

struct WarpedPath {
    // The cells from the first row to the last, a step's passed rows
    // included.
    std::vector<std::pair<int, int>> cells;
    // What the path paid; 0 with no cells.
    float cost = 0;
};

// Which step reached each cell of a band, four bits a cell: the band of an
// hour's recording has tens of millions of cells.
class WarpingSteps {
public:
    static constexpr std::uint8_t kStart = 0xF;  // a path begins here
    static constexpr size_t kMostSteps = kStart;

    explicit WarpingSteps(size_t cells) : marks_((cells + 1) / 2, 0xFF) {}

    void set(size_t cell, std::uint8_t step)
    {
        std::uint8_t& pair = marks_[cell / 2];
        pair = cell % 2 ? std::uint8_t((pair & 0x0F) | (step << 4)) : std::uint8_t((pair & 0xF0) | step);
    }
    std::uint8_t at(size_t cell) const { return cell % 2 ? marks_[cell / 2] >> 4 : marks_[cell / 2] & 0x0F; }

private:
    std::vector<std::uint8_t> marks_;
};

// The cheapest path under the rule (of at most WarpingSteps::kMostSteps
// steps), or none when no path fits the band.
template <size_t N>
WarpedPath warpFrames(const std::vector<std::array<float, N>>& rows, const std::vector<std::array<float, N>>& columns,
                      const WarpingBand& band, const WarpingRule& rule)
{
    constexpr float kFar = std::numeric_limits<float>::infinity();
    constexpr std::uint8_t kStart = WarpingSteps::kStart;
    const int count = int(rows.size());
    WarpedPath path;
    if (count == 0 || columns.empty() || rule.steps.size() > WarpingSteps::kMostSteps)
        return path;
    // Where every step pays the same for the cell, the choice is made on the
    // cost before it, so that it does not hang on the cell's rounding.
    const bool sameWeights = std::all_of(rule.steps.begin(), rule.steps.end(),
                                         [&](const WarpingStep& s) { return s.weight == rule.startWeight; });
    int deepest = 1;
    for (const WarpingStep& s : rule.steps)
        deepest = std::max(deepest, s.rows);
    // Row offsets into one array of steps: memory is the band's area.
    std::vector<size_t> offset(size_t(count) + 1, 0);
    for (int i = 0; i < count; ++i)
        offset[size_t(i) + 1] = offset[size_t(i)] + size_t(std::max(0, band.high[size_t(i)] - band.low[size_t(i)]));
    WarpingSteps taken(offset.back());
    // The costs of the last rows, row i in costs[i % kept].
    const int kept = deepest + 1;
    std::vector<std::vector<float>> costs(static_cast<size_t>(kept));
    const auto costAt = [&](int i, int column) {
        if (i < 0)
            return kFar;
        const std::vector<float>& row = costs[size_t(i % kept)];
        const int k = column - band.low[size_t(i)];
        return k >= 0 && k < int(row.size()) ? row[size_t(k)] : kFar;
    };
    for (int i = 0; i < count; ++i) {
        const int low = band.low[size_t(i)];
        const int width = std::max(0, band.high[size_t(i)] - low);
        std::vector<float>& current = costs[size_t(i % kept)];
        current.assign(size_t(width), kFar);
        for (int k = 0; k < width; ++k) {
            const int column = low + k;
            const float d = frameDistance(rows[size_t(i)], columns[size_t(column)]);
            float best = kFar;
            std::uint8_t how = kStart;
            if (i == 0 && (rule.openBegin || column == 0))
                best = sameWeights ? 0.0f : rule.startWeight * d;
            for (size_t s = 0; s < rule.steps.size(); ++s) {
                const WarpingStep& step = rule.steps[s];
                float before = costAt(i - step.rows, column - step.columns);
                if (before == kFar)
                    continue;
                for (int passed = 1; passed < step.rows; ++passed)
                    before += frameDistance(rows[size_t(i - passed)], columns[size_t(column)]);
                const float candidate = sameWeights ? before : before + step.weight * d;
                if (candidate < best) {
                    best = candidate;
                    how = std::uint8_t(s);
                }
            }
            if (best == kFar)
                continue;
            current[size_t(k)] = sameWeights ? best + d : best;
            taken.set(offset[size_t(i)] + size_t(k), how);
        }
    }
    const std::vector<float>& last = costs[size_t((count - 1) % kept)];
    const int lastLow = band.low[size_t(count - 1)];
    int end = -1;
    if (rule.openEnd) {
        const auto cheapest = std::min_element(last.begin(), last.end());
        if (cheapest != last.end())
            end = lastLow + int(cheapest - last.begin());
    } else {
        end = int(columns.size()) - 1;
    }
    if (end < 0 || costAt(count - 1, end) == kFar)
        return path;
    path.cost = costAt(count - 1, end);
    for (int i = count - 1, j = end;;) {
        path.cells.emplace_back(i, j);
        const std::uint8_t how = taken.at(offset[size_t(i)] + size_t(j - band.low[size_t(i)]));
        if (how == kStart)
            break;
        const WarpingStep& step = rule.steps[how];
        for (int passed = 1; passed < step.rows; ++passed)
            path.cells.emplace_back(i - passed, j);
        i -= step.rows;
        j -= step.columns;
    }
    std::reverse(path.cells.begin(), path.cells.end());
    return path;
}
