#include "review/ReviewSession.h"

#include "review/ReviewGrade.h"

namespace review {

ReviewSession::ReviewSession(int length)
{
    for (int i = 0; i < length; ++i)
        items_.push_back({i, false});
}

int ReviewSession::sentence() const { return ended() ? -1 : items_[size_t(position_)].sentence; }

bool ReviewSession::again() const { return !ended() && items_[size_t(position_)].again; }

void ReviewSession::skip()
{
    if (!ended())
        next();
}

void ReviewSession::showHint()
{
    if (step() == Step::Asking)
        hintShown_ = true;
}

void ReviewSession::check(bool right)
{
    if (step() != Step::Asking)
        return;
    answerRight_ = right;
    DictationAttempt attempt;
    const std::optional<fsrs::Grade> settled = attempt.check({right, hintShown_});
    proposed_ = settled ? *settled : *attempt.moveOn();
    step_ = Step::Checked;
}

void ReviewSession::reveal()
{
    if (step() != Step::Asking)
        return;
    revealed_ = true;
    proposed_ = fsrs::Grade::Good;
    step_ = Step::Checked;
}

bool ReviewSession::grade(fsrs::Grade grade)
{
    if (step() != Step::Checked)
        return false;
    const Item item = items_[size_t(position_)];
    if (!item.again) {
        ++reviewed_;
        right_ += (revealed_ ? grade != fsrs::Grade::Again : answerRight_) ? 1 : 0;
        if (grade == fsrs::Grade::Again)
            items_.push_back({item.sentence, true});
    }
    next();
    return true;
}

void ReviewSession::next()
{
    ++position_;
    step_ = Step::Asking;
    hintShown_ = false;
    answerRight_ = false;
    revealed_ = false;
}

}  // namespace review
