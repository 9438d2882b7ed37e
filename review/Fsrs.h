#pragma once

// The FSRS-6 memory model of one review item, counted in whole days.
//
// An item's memory is its stability S (the days until the chance of recall
// falls to 90 %) and its difficulty D (1 to 10). Each review, graded Again,
// Hard, Good or Easy, updates both from the days since the previous review;
// the next review falls when the chance of recall has dropped to the desired
// retention. A review on the same day as the previous one is a short-term
// review with its own stability rule. Intervals are whole days, without
// random fuzz.

#include <array>

namespace fsrs {

enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// The 21 weights of the model, w0 … w20; the defaults are the published ones.
using Weights = std::array<double, 21>;
extern const Weights kDefaultWeights;

struct MemoryState {
    double stability = 0;
    double difficulty = 0;
};

// What one review leaves: the new memory, and the days until the next review.
struct Review {
    MemoryState memory;
    int intervalDays = 0;
};

class Scheduler {
public:
    // The desired retention's default and bounds, in percent as the learner
    // sets it; every setter and reader of it holds to these.
    static constexpr int kDefaultRetentionPercent = 90;
    static constexpr int kMinRetentionPercent = 70;
    static constexpr int kMaxRetentionPercent = 97;
    static constexpr double kDefaultRetention = kDefaultRetentionPercent / 100.0;
    static constexpr double kMinRetention = kMinRetentionPercent / 100.0;
    static constexpr double kMaxRetention = kMaxRetentionPercent / 100.0;
    static constexpr int kMaxIntervalDays = 365;

    // desiredRetention is held within kMinRetention … kMaxRetention.
    explicit Scheduler(double desiredRetention = kDefaultRetention, const Weights& weights = kDefaultWeights);

    // The chance of recall after elapsedDays, for a memory of this stability.
    double retrievability(double elapsedDays, double stability) const;
    // The days, rounded and held within 1 … kMaxIntervalDays, until a memory
    // of this stability has fallen to the desired retention.
    int intervalFor(double stability) const;

    // The first review of a new item.
    Review first(Grade grade) const;
    // A later review, elapsedDays whole days after the previous one (0: the
    // same day). Hard, Good and Easy always give intervals at least a day
    // apart, in that order, within kMaxIntervalDays.
    Review next(const MemoryState& memory, int elapsedDays, Grade grade) const;

    double initialStability(Grade grade) const;
    double initialDifficulty(Grade grade) const;
    double nextDifficulty(double difficulty, Grade grade) const;
    double recallStability(const MemoryState& memory, double retrievability, Grade grade) const;
    double lapseStability(const MemoryState& memory, double retrievability) const;
    double shortTermStability(double stability, Grade grade) const;

private:
    MemoryState nextMemory(const MemoryState& memory, int elapsedDays, double retrievability, Grade grade) const;

    Weights w_;
    double decay_;   // -w20
    double factor_;  // 0.9^(1/decay) - 1, so that R(S, S) = 90 %
    double intervalModifier_;
};

}  // namespace fsrs
