#include "boundaries/BoundaryEdit.h"

#include <algorithm>
#include <cmath>

namespace {

double hundredth(double seconds) { return std::round(seconds * 100) / 100; }

}  // namespace

BoundaryEdit::BoundaryEdit(std::vector<double> starts, std::vector<double> firstWords, double recordingSeconds,
                           int sentence)
    : starts_(std::move(starts)),
      saved_(starts_),
      firstWords_(std::move(firstWords)),
      recordingSeconds_(recordingSeconds),
      sentence_(sentence)
{
    firstWords_.resize(starts_.size(), -1);
}

double BoundaryEdit::at(Side side) const
{
    const size_t k = index(side);
    if (k < starts_.size())
        return starts_[k];
    return recordingSeconds_;
}

// A first word moves with its sentence's start.
std::vector<double> BoundaryEdit::firstWordsNow() const
{
    std::vector<double> words = firstWords_;
    for (size_t k = 0; k < words.size(); ++k) {
        if (words[k] >= 0)
            words[k] += starts_[k] - saved_[k];
    }
    return words;
}

StartRange BoundaryEdit::rangeOf(Side side) const
{
    return startRange(starts_, firstWordsNow(), recordingSeconds_, int(index(side)));
}

void BoundaryEdit::move(Side side, double seconds)
{
    if (side == End && !hasEnd())
        return;
    const StartRange range = rangeOf(side);
    const double to = hundredth(std::clamp(seconds, range.earliest, std::max(range.earliest, range.latest)));
    const double from = at(side);
    if (std::abs(to - from) < 0.005)
        return;
    done_.push_back({side, from, to});
    redoable_.clear();
    set(side, to);
}

void BoundaryEdit::set(Side side, double seconds) { starts_[index(side)] = seconds; }

void BoundaryEdit::undo()
{
    if (done_.empty())
        return;
    const Step step = done_.back();
    done_.pop_back();
    set(step.side, step.from);
    redoable_.push_back(step);
}

void BoundaryEdit::redo()
{
    if (redoable_.empty())
        return;
    const Step step = redoable_.back();
    redoable_.pop_back();
    set(step.side, step.to);
    done_.push_back(step);
}

std::vector<std::pair<int, double>> BoundaryEdit::changes() const
{
    std::vector<std::pair<int, double>> changed;
    for (size_t k = 0; k < starts_.size(); ++k) {
        if (std::abs(starts_[k] - saved_[k]) >= 0.005)
            changed.emplace_back(int(k), starts_[k]);
    }
    return changed;
}

void BoundaryEdit::applied()
{
    for (size_t k = 0; k < starts_.size(); ++k) {
        if (firstWords_[k] >= 0)
            firstWords_[k] += starts_[k] - saved_[k];
    }
    saved_ = starts_;
}
