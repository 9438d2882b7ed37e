#pragma once

// The grade a sentence earns from what the learner did with it outside the
// review: a reverse-dictation attempt, or a reading scored in the comparison.

#include "review/Fsrs.h"

#include <optional>

namespace review {

// One check of a dictation answer.
struct DictationCheck {
    bool right = false;
    bool hintShown = false;  // the first letters, the English or the Chinese line
};

// A dictation attempt on one sentence: its checks until the learner gets it
// right or moves on. Right at the first check without a hint: Good; right
// after a wrong try or with a hint: Hard; moved on without getting it
// right: Again.
class DictationAttempt {
public:
    // Adds a check; returns the grade once the attempt is settled by it.
    std::optional<fsrs::Grade> check(const DictationCheck& check);
    // The learner moved on: the grade of an attempt still open (Again), or
    // nothing when there was none.
    std::optional<fsrs::Grade> moveOn();
    bool open() const { return checks_ > 0; }

private:
    int checks_ = 0;
    bool hinted_ = false;
};

// A reading's similarity to the recording, 0 … 100: 85 and above Good,
// 70 to 84 Hard, below 70 Again.
fsrs::Grade gradeForSimilarity(int similarity);

}  // namespace review
