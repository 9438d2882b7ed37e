// The daily review's session without a window: answers checked and grades
// given in order, and what is shown next, what comes back, what is proposed
// and when the session ends.

#include "review/ReviewSession.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

using review::ReviewSession;

struct SessionCase {
    std::string what;
    int queue;
    // "ok"/"no": an answer checked right or wrong; "show": a word's answer
    // revealed; "h": the first letters shown; "1"–"4": a grade given; "skip": the sentence cannot be heard.
    std::string actions;
    // Each sentence as it comes up, "*" on its second time.
    std::string shown;
    std::string proposed;  // the grade proposed at each check
    bool ended;
    int reviewed, right, length;
};

std::string run(ReviewSession& session, const std::string& actions, std::string& proposed)
{
    std::string shown;
    const auto show = [&] {
        if (!session.ended())
            shown += (shown.empty() ? "" : " ") + std::to_string(session.sentence()) + (session.again() ? "*" : "");
    };
    show();
    std::istringstream words(actions);
    for (std::string word; words >> word;) {
        const int before = session.position();
        if (word == "ok" || word == "no" || word == "show") {
            if (word == "show")
                session.reveal();
            else
                session.check(word == "ok");
            proposed += (proposed.empty() ? "" : " ") + std::to_string(int(session.proposed()));
        } else if (word == "h") {
            session.showHint();
        } else if (word == "skip") {
            session.skip();
        } else {
            session.grade(fsrs::Grade(std::stoi(word)));
        }
        if (session.position() != before)
            show();
    }
    return shown;
}

TEST(ReviewSession, GradesInOrder)
{
    const std::vector<SessionCase> cases = {
        {"nothing due", 0, "", "", "", true, 0, 0, 0},
        {"right at once, the proposal taken", 2, "ok 3 ok 3", "0 1", "3 3", true, 2, 2, 2},
        {"wrong: 重来 proposed, back at the end", 2, "no 1 ok 3 ok 3", "0 1 0*", "1 3 3", true, 2, 1, 3},
        {"back once only", 1, "no 1 no 1", "0 0*", "1 1", true, 1, 0, 2},
        {"right with the first letters: 困难", 1, "h ok 2", "0", "2", true, 1, 1, 1},
        {"right but graded 重来 comes back", 1, "ok 1 ok 3", "0 0*", "3 3", true, 1, 1, 2},
        {"a grade before the check does nothing", 1, "3 ok 4", "0", "3", true, 1, 1, 1},
        {"letters shown after the check count for nothing", 2, "ok h 3 ok 3", "0 1", "3 3", true, 2, 2, 2},
        {"the letters are not carried to the next time", 1, "h no 1 ok 3", "0 0*", "1 3", true, 1, 0, 2},
        {"unheard sentences skipped, not counted", 3, "skip ok 4 skip", "0 1 2", "3", true, 1, 1, 3},
        {"words revealed: right unless graded 重来", 3, "show 3 show 1 show 2 show 3", "0 1 2 1*", "3 3 3 3", true, 3,
         2, 4},
        {"a reveal after a check changes nothing", 1, "no show 1", "0 0*", "1 1", false, 1, 0, 2},
        {"a check waits for its grade", 1, "no", "0", "1", false, 0, 0, 1},
        {"a second check while graded waits is ignored", 1, "no ok 1", "0 0*", "1 1", false, 1, 0, 2},
    };
    for (const SessionCase& c : cases) {
        ReviewSession session(c.queue);
        std::string proposed;
        EXPECT_EQ(run(session, c.actions, proposed), c.shown) << c.what;
        EXPECT_EQ(proposed, c.proposed) << c.what;
        EXPECT_EQ(session.ended(), c.ended) << c.what;
        EXPECT_EQ(session.reviewed(), c.reviewed) << c.what;
        EXPECT_EQ(session.right(), c.right) << c.what;
        EXPECT_EQ(session.length(), c.length) << c.what;
    }
}

}  // namespace
