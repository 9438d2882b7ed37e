// The grades a sentence earns outside the review: a dictation attempt's
// checks until it is right or the learner moves on, and a reading's score.

#include "review/ReviewGrade.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using fsrs::Grade;

struct AttemptCase {
    std::string what;
    std::vector<review::DictationCheck> checks;  // {right, hint shown}
    bool movesOn;
    std::optional<Grade> grade;
};

TEST(ReviewGrade, DictationAttempts)
{
    const std::vector<AttemptCase> cases = {
        {"right at once", {{true, false}}, false, Grade::Good},
        {"right at once with a hint", {{true, true}}, false, Grade::Hard},
        {"right after a wrong try", {{false, false}, {true, false}}, false, Grade::Hard},
        {"a hint on a wrong try, then right", {{false, true}, {true, false}}, false, Grade::Hard},
        {"wrong twice, moved on", {{false, false}, {false, false}}, true, Grade::Again},
        {"wrong, still trying", {{false, false}}, false, std::nullopt},
        {"moved on without an answer", {}, true, std::nullopt},
    };
    for (const AttemptCase& c : cases) {
        review::DictationAttempt attempt;
        std::optional<Grade> grade;
        for (const review::DictationCheck& check : c.checks)
            grade = attempt.check(check);
        if (c.movesOn)
            grade = attempt.moveOn();
        EXPECT_EQ(grade, c.grade) << c.what;
        // A settled attempt leaves nothing open for the next sentence.
        if (grade) {
            EXPECT_EQ(attempt.moveOn(), std::nullopt) << c.what;
        }
    }
}

TEST(ReviewGrade, ReadingSimilarity)
{
    const std::vector<std::pair<int, Grade>> cases = {{100, Grade::Good}, {85, Grade::Good}, {84, Grade::Hard},
                                                      {70, Grade::Hard},  {69, Grade::Again}, {0, Grade::Again}};
    for (const auto& [similarity, grade] : cases)
        EXPECT_EQ(review::gradeForSimilarity(similarity), grade) << similarity;
}

}  // namespace
