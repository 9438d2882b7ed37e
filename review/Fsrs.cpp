#include "review/Fsrs.h"

#include <algorithm>
#include <cmath>

namespace fsrs {

const Weights kDefaultWeights = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                 0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                 1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};

namespace {

constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500;
constexpr double kMinInitialStability = 0.1;

double gradeValue(Grade grade) { return static_cast<int>(grade); }

double clampStability(double s) { return std::clamp(s, kMinStability, kMaxStability); }

}  // namespace

Scheduler::Scheduler(double desiredRetention, const Weights& weights)
    : w_(weights), decay_(-weights[20]), factor_(std::pow(0.9, 1.0 / decay_) - 1)
{
    const double retention = std::clamp(desiredRetention, kMinRetention, kMaxRetention);
    intervalModifier_ = (std::pow(retention, 1.0 / decay_) - 1) / factor_;
}

double Scheduler::retrievability(double elapsedDays, double stability) const
{
    return std::pow(1 + factor_ * elapsedDays / stability, decay_);
}

int Scheduler::intervalFor(double stability) const
{
    const double days = std::round(stability * intervalModifier_);
    return static_cast<int>(std::clamp(days, 1.0, double(kMaxIntervalDays)));
}

double Scheduler::initialStability(Grade grade) const
{
    return std::max(w_[static_cast<int>(grade) - 1], kMinInitialStability);
}

// Not held within 1 … 10: the mean reversion aims at the unclamped value for Easy.
double Scheduler::initialDifficulty(Grade grade) const
{
    return w_[4] - std::exp((gradeValue(grade) - 1) * w_[5]) + 1;
}

double Scheduler::nextDifficulty(double difficulty, Grade grade) const
{
    const double delta = -w_[6] * (gradeValue(grade) - 3);
    // Linear damping: the closer to 10, the smaller each step up.
    const double damped = difficulty + delta * (10 - difficulty) / 9;
    const double reverted = w_[7] * initialDifficulty(Grade::Easy) + (1 - w_[7]) * damped;
    return std::clamp(reverted, 1.0, 10.0);
}

double Scheduler::recallStability(const MemoryState& memory, double r, Grade grade) const
{
    const double hardPenalty = grade == Grade::Hard ? w_[15] : 1;
    const double easyBonus = grade == Grade::Easy ? w_[16] : 1;
    const double growth = std::exp(w_[8]) * (11 - memory.difficulty) * std::pow(memory.stability, -w_[9]) *
                          (std::exp((1 - r) * w_[10]) - 1) * hardPenalty * easyBonus;
    return clampStability(memory.stability * (1 + growth));
}

double Scheduler::lapseStability(const MemoryState& memory, double r) const
{
    const double forgotten = clampStability(w_[11] * std::pow(memory.difficulty, -w_[12]) *
                                            (std::pow(memory.stability + 1, w_[13]) - 1) * std::exp((1 - r) * w_[14]));
    // Never above what a same-day Again would leave.
    const double ceiling = memory.stability / std::exp(w_[17] * w_[18]);
    return std::max(std::min(ceiling, forgotten), kMinStability);
}

double Scheduler::shortTermStability(double stability, Grade grade) const
{
    double increase = std::pow(stability, -w_[19]) * std::exp(w_[17] * (gradeValue(grade) - 3 + w_[18]));
    // A same-day success never lowers the stability.
    if (grade >= Grade::Hard)
        increase = std::max(increase, 1.0);
    return clampStability(stability * increase);
}

MemoryState Scheduler::nextMemory(const MemoryState& memory, int elapsedDays, double r, Grade grade) const
{
    MemoryState next;
    if (elapsedDays == 0)
        next.stability = shortTermStability(memory.stability, grade);
    else if (grade == Grade::Again)
        next.stability = lapseStability(memory, r);
    else
        next.stability = recallStability(memory, r, grade);
    next.difficulty = nextDifficulty(memory.difficulty, grade);
    return next;
}

Review Scheduler::first(Grade grade) const
{
    Review review;
    review.memory.stability = initialStability(grade);
    review.memory.difficulty = std::clamp(initialDifficulty(grade), 1.0, 10.0);
    review.intervalDays = intervalFor(review.memory.stability);
    return review;
}

Review Scheduler::next(const MemoryState& memory, int elapsedDays, Grade grade) const
{
    elapsedDays = std::max(elapsedDays, 0);
    const double r = retrievability(elapsedDays, memory.stability);
    Review review{nextMemory(memory, elapsedDays, r, grade), 0};
    if (grade == Grade::Again) {
        review.intervalDays = intervalFor(review.memory.stability);
        return review;
    }
    const auto intervalOf = [&](Grade g) { return intervalFor(nextMemory(memory, elapsedDays, r, g).stability); };
    const int good = intervalOf(Grade::Good);
    const int hard = std::min(intervalOf(Grade::Hard), good);
    const int goodApart = std::max(good, hard + 1);
    switch (grade) {
    case Grade::Hard:
        review.intervalDays = hard;
        break;
    case Grade::Good:
        review.intervalDays = goodApart;
        break;
    default:
        review.intervalDays = std::max(intervalOf(Grade::Easy), goodApart + 1);
        break;
    }
    review.intervalDays = std::min(review.intervalDays, kMaxIntervalDays);
    return review;
}

}  // namespace fsrs
