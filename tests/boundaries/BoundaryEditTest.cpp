// A small own lesson edited as the boundary editor edits it, its files read
// back: a sentence's boundaries moved step by step, undone and redone, and
// written in one go (the starts, and the first spoken words moved with
// them); a sentence split in two and two joined (lesson.txt's lines, the
// starts and the word times), and what is refused leaving every file as it
// was.

#include "boundaries/BoundaryEdit.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"
#include "ownlessons/SentenceSplit.h"
#include "course/WordTimesFile.h"
#include "platform/system/CourseText.h"

#include <QFile>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace {

// Three sentences, 0.40 / 2.10 / 3.50, first words at 0.52 / 2.30 / 3.60; 5 s;
// the second one named as unsure by its import.
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
    lesson.sentences[1].unsure = true;
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
        std::string unsure;      // the sentences still named as unsure
    };
    const Case cases[] = {
        {"nothing", "", "0.40 2.10 3.50", "0.52 2.30 3.60", "0 1 0"},
        {"start earlier, end later", "s 1.9 e 3.3", "0.40 1.90 3.30", "0.52 2.10 3.40", "0 0 0"},
        {"held after the previous first word", "s 0.2", "0.40 0.53 3.50", "0.52 0.73 3.60", "0 0 0"},
        // A first word's start stays inside the word.
        {"the end held before the recording's end", "e 9", "0.40 2.10 4.99", "0.52 2.30 3.99", "0 1 0"},
        {"the end not before the start's first word", "s 2.5 e 2.0", "0.40 2.50 2.71", "0.52 2.49 2.81", "0 0 0"},
        {"undone", "s 1.9 e 3.3 u", "0.40 1.90 3.50", "0.52 2.10 3.60", "0 0 0"},
        {"undone and redone", "s 1.9 e 3.3 u u r", "0.40 1.90 3.50", "0.52 2.10 3.60", "0 0 0"},
        {"a new step drops what could be redone", "s 1.9 u e 3.3 r", "0.40 2.10 3.30", "0.52 2.30 3.40", "0 1 0"},
        {"rounded to the hundredth", "s 1.234", "0.40 1.23 3.50", "0.52 1.43 3.60", "0 0 0"},
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
        std::string unsure;
        for (bool marked : after.unsure)
            unsure += std::string(unsure.empty() ? "" : " ") + (marked ? "1" : "0");
        EXPECT_EQ(unsure, c.unsure) << c.what;
        edit.applied();
        EXPECT_TRUE(edit.changes().empty()) << c.what;
    }
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The lesson as its files hold it, a sentence a line: start (? when named
// as unsure) | English | Chinese | each word's place in the English @ its start.
QStringList readBack(const QString& folder)
{
    const QList<QByteArray> lines = bytesOf(folder + "/lesson.txt").split('\n');
    QStringList english, chinese;
    for (int i = 1; i + 1 < lines.size(); i += 2) {
        english << decodeCourseText(lines[i].trimmed()).section(". ", 1);
        chinese << decodeCourseText(lines[i + 1].trimmed()).trimmed();
    }
    const LessonTimes times = lessonTimes(folder, 0);
    const QList<WordTimes> words = wordTimesFrom(bytesOf(folder + "/tlx2001.wordtimes.tsv"), english);
    QStringList sentences;
    for (qsizetype n = 0; n < english.size(); ++n) {
        QStringList placed;
        for (const WordTime& w : words.value(n))
            placed << QString("%1+%2@%3").arg(w.from).arg(w.length).arg(w.start, 0, 'f', 2);
        const QString start = QString::number(times.starts.at(size_t(n)), 'f', 2) + (times.unsure.at(size_t(n)) ? "?" : "");
        sentences << QString("%1|%2|%3|%4").arg(start, english[n], chinese[n], placed.join(' '));
    }
    return sentences;
}

TEST(BoundaryEdit, SentencesSplitAndJoinedWithTheirTextsAndWords)
{
    const QStringList made = {"0.40|Good morning, Anna.|早上好，安娜。|0+4@0.52 5+7@0.80",
                              "2.10?|How are you?||0+3@2.30 4+3@2.50 8+3@2.62", "3.50|Fine.||0+4@3.60"};
    struct Case {
        const char* what;
        std::function<QString(const QString& folder)> change;
        QStringList after;  // empty: refused, every file as it was
    };
    const Case cases[] = {
        {"split before a word: the second half from the play head",
         [](const QString& f) { return splitSentence(f, 0, 1, 2.45, 4); },
         {made[0], "2.10|How||0+3@2.30", "2.45|are you?||0+3@2.50 4+3@2.62", made[2]}},
        {"split after the word's start: the second half from the word",
         [](const QString& f) { return splitSentence(f, 0, 1, 2.55, 4); },
         {made[0], "2.10|How||0+3@2.30", "2.50|are you?||0+3@2.50 4+3@2.62", made[2]}},
        {"joined: the texts one after the other, the words of both",
         [](const QString& f) { return mergeSentences(f, 0, 0); },
         {"0.40|Good morning, Anna. How are you?|早上好，安娜。|0+4@0.52 5+7@0.80 20+3@2.30 24+3@2.50 28+3@2.62",
          made[2]}},
        {"split and joined again: as it was",
         [](const QString& f) {
             const QString split = splitSentence(f, 0, 0, 0.79, 5);
             return split.isEmpty() ? mergeSentences(f, 0, 0) : split;
         },
         made},
        {"a join undone: split where the texts met, the Chinese line too",
         [](const QString& f) {
             const QString joined = mergeSentences(f, 0, 0);
             return joined.isEmpty() ? splitSentence(f, 0, 0, 2.10, 20, 7) : joined;
         },
         {made[0], "2.10|How are you?||0+3@2.30 4+3@2.50 8+3@2.62", made[2]}},
        {"split at the text's start", [](const QString& f) { return splitSentence(f, 0, 1, 2.45, 0); }, {}},
        {"split at the text's end", [](const QString& f) { return splitSentence(f, 0, 1, 2.45, 12); }, {}},
        {"split outside the sentence's time", [](const QString& f) { return splitSentence(f, 0, 1, 3.6, 4); }, {}},
        {"joined with no sentence after it", [](const QString& f) { return mergeSentences(f, 0, 2); }, {}},
    };
    for (const Case& c : cases) {
        QTemporaryDir books;
        const QString folder = makeLesson(books);
        ASSERT_EQ(readBack(folder), made) << c.what;
        QList<QByteArray> before;
        for (const char* name : {"/lesson.txt", "/tlx2001.lrc", "/tlx2001.wordtimes.tsv", "/words.txt"})
            before << bytesOf(folder + name);
        const QString error = c.change(folder);
        if (c.after.isEmpty()) {
            EXPECT_FALSE(error.isEmpty()) << c.what;
            QList<QByteArray> now;
            for (const char* name : {"/lesson.txt", "/tlx2001.lrc", "/tlx2001.wordtimes.tsv", "/words.txt"})
                now << bytesOf(folder + name);
            EXPECT_EQ(now, before) << c.what;
            continue;
        }
        EXPECT_EQ(error, "") << c.what;
        EXPECT_EQ(readBack(folder), c.after) << c.what;
        EXPECT_EQ(bytesOf(folder + "/words.txt"), before.last()) << c.what;
    }
}

}  // namespace
