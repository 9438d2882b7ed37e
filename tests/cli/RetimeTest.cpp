// lexbay --retime through the staged program with no display, on an own
// volume made here: a start set and read back from the timing file and the
// word times, and each argument it refuses, with the files left as they were.

#include "course/WordTimesFile.h"
#include "ownlessons/FileTransaction.h"
#include "ownlessons/OwnVolume.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kVolume = QStringLiteral("我的第2册");

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome retime(const QString& dataHome, const QStringList& arguments)
{
    QProcess lexbay;
    lexbay.start("env", QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                    "XDG_DATA_HOME=" + dataHome, LEXBAY_PROGRAM, "--retime"} +
                            arguments);
    EXPECT_TRUE(lexbay.waitForFinished(30000));
    return {lexbay.exitCode(), QString::fromUtf8(lexbay.readAllStandardOutput()),
            QString::fromUtf8(lexbay.readAllStandardError())};
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// One lesson of two sentences with word times, the second's words at 2.30 on.
QString makeVolume(const QString& dataHome)
{
    const QString folder = dataHome + "/Lexbay/books/" + kVolume;
    EXPECT_TRUE(QDir().mkpath(folder));
    NewLesson lesson{"Greetings",
                     {{"Good morning, Anna.", "早上好，安娜。", 0.40,
                       {{0, 4, 0.52, 0.80}, {5, 7, 0.80, 1.20}, {14, 4, 1.35, 1.80}}},
                      {"How are you?", "", 2.10, {{0, 3, 2.30, 2.50}, {4, 3, 2.50, 2.62}, {8, 3, 2.62, 2.90}}}},
                     {},
                     4.0};
    FileTransaction transaction(folder);
    EXPECT_TRUE(transaction.write("tlx2001.mp3", "not really a recording"));
    EXPECT_EQ(stageLesson(transaction, folder, lesson).error, "");
    EXPECT_TRUE(transaction.commit());
    return folder;
}

TEST(Retime, SetsAStartWithinItsNeighboursAndRefusesWhatItCannotDo)
{
    struct Case {
        const char* what;
        QStringList arguments;
        int exitCode;
        QString said;  // in the output when set, in the errors otherwise
    };
    const QStringList lesson1 = {"--volume", kVolume, "--lesson", "1"};
    const QList<Case> refused = {
        {"before the previous sentence's first word", lesson1 + QStringList{"--sentence", "2", "--start", "0.50"}, 2,
         "0.53 到"},
        {"past the next start", lesson1 + QStringList{"--sentence", "1", "--start", "2.10"}, 2, "0.00 到 2.09"},
        {"not a number", lesson1 + QStringList{"--sentence", "2", "--start", "soon"}, 2, "“soon”"},
        {"no such sentence", lesson1 + QStringList{"--sentence", "3", "--start", "1"}, 2, "1 到 2 之间的句号"},
        {"no such lesson", {"--volume", kVolume, "--lesson", "2", "--sentence", "1", "--start", "1"}, 2, "1 到 1 之间的课号"},
        {"a volume of no one", {"--volume", "无此册", "--lesson", "1", "--sentence", "1", "--start", "1"}, 2, "无此册"},
        {"a shipped volume", {"--volume", "Trellis英语第1册", "--lesson", "1", "--sentence", "1", "--start", "1"}, 1,
         "随程序提供"},
        {"no start given", lesson1 + QStringList{"--sentence", "2"}, 2, "--start"},
    };
    QTemporaryDir home;
    const QString folder = makeVolume(home.path());
    const QByteArray timing = bytesOf(folder + "/tlx2001.lrc");
    const QByteArray words = bytesOf(folder + "/tlx2001.wordtimes.tsv");
    for (const Case& c : refused) {
        const Outcome run = retime(home.path(), c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.what;
        EXPECT_TRUE(run.err.contains(c.said)) << c.what << ": " << run.err.toStdString();
        EXPECT_EQ(run.err.count('\n'), 1) << c.what << ": one line";
        EXPECT_EQ(bytesOf(folder + "/tlx2001.lrc"), timing) << c.what;
        EXPECT_EQ(bytesOf(folder + "/tlx2001.wordtimes.tsv"), words) << c.what;
    }

    // Set earlier: the first word starts as much earlier, the other lines stay.
    const Outcome set = retime(home.path(), lesson1 + QStringList{"--sentence", "2", "--start", "1.9"});
    EXPECT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_EQ(set.out, "第 2 句从 1.90 秒开始\n");
    const LessonTimes times = lessonTimes(folder, 0);
    ASSERT_EQ(times.starts.size(), 2u);
    EXPECT_DOUBLE_EQ(times.starts[0], 0.40);
    EXPECT_DOUBLE_EQ(times.starts[1], 1.90);
    EXPECT_NEAR(times.firstWords[1], 2.10, 1e-9);
    EXPECT_NEAR(times.firstWords[0], 0.52, 1e-9);

    // A lesson whose timing file is gone cannot be changed.
    ASSERT_TRUE(QFile::remove(folder + "/tlx2001.lrc"));
    const Outcome gone = retime(home.path(), lesson1 + QStringList{"--sentence", "1", "--start", "0.3"});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_TRUE(gone.err.contains("时间文件")) << gone.err.toStdString();
}

}  // namespace
