#pragma once

// One daily-review session, free of any window: the sentences due, shown one
// after another, each checked once and graded. The grade proposed follows the
// check (right at once: 良好, right with the first letters shown: 困难, wrong:
// 重来); a sentence graded 重来 the first time comes back once more at the
// end. A word is not checked but revealed: the learner judges their own
// recall, 良好 proposed, and it counts as right unless graded 重来.
// Sentences are the queue's positions; what they hold is the caller's.

#include "review/Fsrs.h"

#include <vector>

namespace review {

class ReviewSession {
public:
    enum class Step { Ended, Asking, Checked };

    // A session over a queue of `length` sentences, at its first one.
    explicit ReviewSession(int length = 0);

    Step step() const { return position_ < int(items_.size()) ? step_ : Step::Ended; }
    bool ended() const { return step() == Step::Ended; }
    // The current sentence's position in the queue, and whether it is its
    // second time, after 重来.
    int sentence() const;
    bool again() const;
    // The current one's place among all shown, 0-based, and how many there
    // are with the ones put back so far.
    int position() const { return position_; }
    int length() const { return int(items_.size()); }

    // The current sentence cannot be heard: on to the next, not counted.
    void skip();
    // The first letters are shown; counts against the grade while asking.
    void showHint();
    bool hintShown() const { return hintShown_; }
    // The answer was checked: proposes a grade and waits for one.
    void check(bool right);
    bool answerRight() const { return answerRight_; }
    // The answer was shown without a check: proposes 良好 and waits for a grade.
    void reveal();
    fsrs::Grade proposed() const { return proposed_; }
    // Grades the checked sentence and goes on; false (and nothing done)
    // unless a check awaits its grade.
    bool grade(fsrs::Grade grade);

    // Sentences graded at their first showing, and how many of those were
    // answered right.
    int reviewed() const { return reviewed_; }
    int right() const { return right_; }

private:
    struct Item {
        int sentence;
        bool again;
    };

    void next();

    std::vector<Item> items_;
    int position_ = 0;
    Step step_ = Step::Asking;
    bool hintShown_ = false;
    bool answerRight_ = false;
    bool revealed_ = false;
    fsrs::Grade proposed_ = fsrs::Grade::Good;
    int reviewed_ = 0;
    int right_ = 0;
};

}  // namespace review
