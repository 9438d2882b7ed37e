#include "review/ReviewGrade.h"

namespace review {

namespace {

constexpr int kGoodSimilarity = 85;
constexpr int kHardSimilarity = 70;

}  // namespace

std::optional<fsrs::Grade> DictationAttempt::check(const DictationCheck& check)
{
    ++checks_;
    hinted_ = hinted_ || check.hintShown;
    if (!check.right)
        return std::nullopt;
    const bool atOnce = checks_ == 1 && !hinted_;
    *this = DictationAttempt();
    return atOnce ? fsrs::Grade::Good : fsrs::Grade::Hard;
}

std::optional<fsrs::Grade> DictationAttempt::moveOn()
{
    if (!open())
        return std::nullopt;
    *this = DictationAttempt();
    return fsrs::Grade::Again;
}

fsrs::Grade gradeForSimilarity(int similarity)
{
    if (similarity >= kGoodSimilarity)
        return fsrs::Grade::Good;
    return similarity >= kHardSimilarity ? fsrs::Grade::Hard : fsrs::Grade::Again;
}

}  // namespace review
