// lexbay --lookup through the staged program with no display: what a word as
// a page writes it finds in the shipped dictionary (lemmas, forms that are
// headwords themselves, abbreviations, contractions, hyphenated words, names,
// numbers, Chinese), and a dictionary file that cannot be read.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome lookUp(const QString& word, const QString& program = LEXBAY_PROGRAM)
{
    QProcess lexbay;
    lexbay.start("env", {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM", program, "--lookup", word});
    EXPECT_TRUE(lexbay.waitForFinished(30000));
    return {lexbay.exitCode(), QString::fromUtf8(lexbay.readAllStandardOutput()),
            QString::fromUtf8(lexbay.readAllStandardError())};
}

// The headwords an answer shows, in order: the first word of each entry's
// first line.
QStringList headwords(const QString& answer)
{
    QStringList words;
    for (const QString& line : answer.split('\n')) {
        if (!line.isEmpty() && !line.startsWith(' '))
            words << line.section("  ", 0, 0);
    }
    return words;
}

TEST(Lookup, AWordAsAPageWritesItFindsItsHeadwords)
{
    struct Row {
        const char* written;
        QStringList found;       // the headwords, in the order shown
        const char* reachedAs;   // part of the line that says how a lemma was reached
    };
    const QList<Row> rows = {
        {"went", {"go"}, "go  /gou/  ← went（过去式）"},
        {"studied", {"studied", "study"}, "← studied（过去式、过去分词）"},
        {"Leaves,", {"leaf", "leave"}, "leave  /li:v/  ← Leaves（第三人称单数、复数）"},
        {"better", {"better", "good"}, "← better（比较级）"},
        {"children", {"children", "child"}, "← children（复数）"},
        {"Go", {"go"}, ""},
        {"Mr.", {"Mr."}, ""},
        {"a.m.", {"a.m."}, ""},
        {"don\u2019t", {"don't"}, ""},
        {"I'm", {"I'm"}, ""},
        {"teacher's", {"teacher"}, ""},
        {"\u201cLondon\u201d", {"London"}, ""},
        {"well-known", {"well-known"}, ""},
        {"red-haired", {"red", "haired"}, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.written);
        const Outcome answer = lookUp(row.written);
        EXPECT_EQ(answer.exitCode, 0);
        EXPECT_EQ(headwords(answer.out), row.found) << answer.out.toStdString();
        EXPECT_TRUE(answer.out.contains(QString::fromUtf8(row.reachedAs))) << answer.out.toStdString();
    }

    const Outcome go = lookUp("go");
    EXPECT_TRUE(go.out.contains("变形：过去式 went，过去分词 gone")) << go.out.toStdString();
    EXPECT_TRUE(go.out.contains(QRegularExpression("柯林斯 ★+☆* · 牛津 3000 · 中考 高考"))) << go.out.toStdString();
}

TEST(Lookup, NamesNumbersAndChineseGetOneLineAndExitOne)
{
    const QList<QPair<QString, QString>> rows = {
        {"Xiaoming", "词典里没有“Xiaoming”（可能是人名或地名）\n"},
        {"qzxvbw", "词典里没有“qzxvbw”\n"},
        {"$2.75", "“$2.75”是数字，词典不收\n"},
        {"1990s", "“1990s”是数字，词典不收\n"},
        {"车站", "这里没有英文单词\n"},
    };
    for (const auto& [written, said] : rows) {
        const Outcome answer = lookUp(written);
        EXPECT_EQ(answer.exitCode, 1) << written.toStdString();
        EXPECT_EQ(answer.out, said);
    }
}

TEST(Lookup, ADictionaryThatCannotBeReadIsSaidOnceAndExitsOne)
{
    QFile shipped(QString(LEXBAY_APP_DIR) + "/dictionary/ecdict.sqlite");
    ASSERT_TRUE(shipped.open(QIODevice::ReadOnly));
    const QByteArray whole = shipped.readAll();
    const QList<QPair<const char*, QByteArray>> files = {
        {"", {}},
        {"truncated", whole.left(whole.size() / 3)},
        {"foreign", "word,phonetic\ngo,gou\n"},
    };
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        QTemporaryDir folder;
        const QString program = folder.filePath("Lexbay");
        ASSERT_TRUE(QFile::copy(LEXBAY_PROGRAM, program));
        if (*name) {
            ASSERT_TRUE(QDir(folder.path()).mkpath("dictionary"));
            QFile file(folder.filePath("dictionary/ecdict.sqlite"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(bytes);
        }
        // Words far into the file, so a truncated one fails where it is read.
        for (const char* word : {"go", "zygote"}) {
            const Outcome answer = lookUp(word, program);
            EXPECT_EQ(answer.exitCode, 1) << word;
            EXPECT_EQ(answer.out, "");
            EXPECT_TRUE(answer.err.startsWith("lexbay: 词典无法读取：")) << answer.err.toStdString();
            EXPECT_EQ(answer.err.count('\n'), 1) << answer.err.toStdString();
        }
    }
}

}  // namespace
