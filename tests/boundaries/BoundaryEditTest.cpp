// A sentence's boundaries edited step by step on a small own lesson, the
// steps undone and redone, and the changes written to its files in one go
// and read back: the starts, and the first spoken words moved with them.

#include "boundaries/BoundaryEdit.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sstream>

namespace {

// Three sentences, 0.40 / 2.10 / 3.50, first words at 0.52 / 2.30 / 3.60; 5 s.
QString makeLesson(const QTemporaryDir& books)
{
    const QString folder = books.filePath("我的第2册");
    EXPECT_TRUE(QDir().mkpath(folder));
    NewLesson lesson{"Greetings",
                     {{"Good morning, Anna.", "早上好，安娜。", 0.40, {{0, 4, 0.52, 0.80}, {5, 7, 0.80, 1.20}}},
                      {"How are you?", "", 2.10, {{0, 3, 2.30, 2.50}, {4, 3, 2.50, 2.62}, {8, 3, 2.62, 2.90}}},
                      {"Fine.", "", 3.50, {{0, 4, 3.60, 4.00}}}},
                     {},
                     5.0};
    FileTransaction transaction(folder);
    EXPECT_TRUE(transaction.write("tlx2001.mp3", "not really a recording"));
    EXPECT_EQ(stageLesson(transaction, folder, lesson).error, "");
    EXPECT_TRUE(transaction.commit());
    return folder;
}

std::string joined(const std::vector<double>& values)
{
    std::ostringstream text;
    text.precision(2);
    text << std::fixed;
    for (double v : values)
        text << (text.tellp() > 0 ? " " : "") << v;
    return text.str();
}

TEST(BoundaryEdit, StepsUndoneAndRedoneAndTheChangesWrittenInOneGo)
{
    struct Case {
        const char* what;
        // "s 1.9": the start moved to 1.9; "e 3.2": the end; "u" undo; "r" redo.
        std::string steps;
        std::string starts;      // read back from the timing file
        std::string firstWords;  // read back from the word times
    };
    const Case cases[] = {
        {"nothing", "", "0.40 2.10 3.50", "0.52 2.30 3.60"},
        {"start earlier, end later", "s 1.9 e 3.3", "0.40 1.90 3.30", "0.52 2.10 3.40"},
        {"held after the previous first word", "s 0.2", "0.40 0.53 3.50", "0.52 0.73 3.60"},
        // A first word's start stays inside the word.
        {"the end held before the recording's end", "e 9", "0.40 2.10 4.99", "0.52 2.30 3.99"},
        {"the end not before the start's first word", "s 2.5 e 2.0", "0.40 2.50 2.71", "0.52 2.49 2.81"},
        {"undone", "s 1.9 e 3.3 u", "0.40 1.90 3.50", "0.52 2.10 3.60"},
        {"undone and redone", "s 1.9 e 3.3 u u r", "0.40 1.90 3.50", "0.52 2.10 3.60"},
        {"a new step drops what could be redone", "s 1.9 u e 3.3 r", "0.40 2.10 3.30", "0.52 2.30 3.40"},
        {"rounded to the hundredth", "s 1.234", "0.40 1.23 3.50", "0.52 1.43 3.60"},
    };
    for (const Case& c : cases) {
        QTemporaryDir books;
        const QString folder = makeLesson(books);
        const LessonTimes before = lessonTimes(folder, 0);
        BoundaryEdit edit(before.starts, before.firstWords, 5.0, 1);
        std::istringstream steps(c.steps);
        for (std::string step; steps >> step;) {
            if (step == "u") {
                edit.undo();
            } else if (step == "r") {
                edit.redo();
            } else {
                double seconds = 0;
                steps >> seconds;
                edit.move(step == "s" ? BoundaryEdit::Start : BoundaryEdit::End, seconds);
            }
        }
        QString error;
        if (!edit.changes().empty())
            setSentenceStarts(folder, 0, edit.changes(), 5.0, &error);
        EXPECT_EQ(error, "") << c.what;
        const LessonTimes after = lessonTimes(folder, 0);
        EXPECT_EQ(joined(after.starts), c.starts) << c.what;
        EXPECT_EQ(joined(after.firstWords), c.firstWords) << c.what;
        edit.applied();
        EXPECT_TRUE(edit.changes().empty()) << c.what;
    }
}

}  // namespace
