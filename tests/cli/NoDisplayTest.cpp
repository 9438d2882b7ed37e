// The program with no display at all, given any argument list: help and the
// version answer, the window's start says in one line why it cannot show,
// and every list that cannot be run gets one line and its status (2 for a
// usage error, 1 for a failure), never a crash or a stray warning.

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct Case {
    QStringList arguments;
    int exitCode;
    const char* out;
    const char* err;
};

TEST(NoDisplay, EveryArgumentListGetsOneAnswer)
{
    const Case cases[] = {
        // Help, the version and the window.
        {{"--help"}, 0, "--import", ""},
        {{"--help-all"}, 0, "-platform", ""},
        {{"--version"}, 0, "Lexbay ", ""},
        {{}, 1, "", "没有可以显示窗口的显示器"},
        {{"--"}, 1, "", "没有可以显示窗口的显示器"},
        {{"-platform"}, 2, "", "-platform 缺少值"},
        // A value-taking option before its command, or without its value.
        {{"--date", "--review-due"}, 2, "", "--date 缺少值"},
        {{"--review-due", "--date"}, 2, "", "--date 缺少值"},
        {{"--lesson", "--export-anki"}, 2, "", "--lesson 缺少值"},
        {{"--volume", "--import"}, 2, "", "--volume 缺少值"},
        // Out of order, and values joined by "=".
        {{"--date", "2026-03-01", "--review-due"}, 0, "2026-03-01：0 个句子到期复习", ""},
        {{"--review-due", "--date=2026-03-01"}, 0, "2026-03-01：0 个句子", ""},
        {{"missing.mp3", "--volume", "新册", "missing.txt", "--import"}, 1, "", "无法读取"},
        {{"--import", "--volume", "新册", "--", "-a.mp3", "missing.txt"}, 1, "", "无法读取"},
        // An option missing, doubled, or not the command's.
        {{"--import", "a.mp3", "a.txt"}, 2, "", "需要 --volume"},
        {{"--export-anki", "--volume", "Trellis英语第1册"}, 2, "", "需要 1 个参数"},
        {{"--import", "--volume", "新册"}, 2, "", "需要 1 到 2 个参数"},
        {{"--review-due", "--date", "2026-03-01", "--date", "2026-03-02"}, 2, "", "给了两次"},
        {{"--review-due", "--volume", "a"}, 2, "", "不是 --review-due 的选项"},
        {{"--import", "--volume", "新册", "--merge-cues=yes", "a.mp3", "a.txt"}, 2, "", "不带值"},
        {{"--volume", "a"}, 2, "", "要和命令一起用"},
        {{"--review-due", "--date", "yesterday"}, 2, "", "YYYY-MM-DD"},
        // Two commands, unknown options, empty strings, stray arguments.
        {{"--import", "--review-due"}, 2, "", "不能同时使用"},
        {{"--bogus"}, 2, "", "不认识的选项“--bogus”"},
        {{""}, 2, "", "多余的参数"},
        {{"--", "--import"}, 2, "", "多余的参数“--import”"},
        {{"--review-due", ""}, 2, "", "不带参数"},
        {{"--export-anki", "--volume", "", "out.apkg"}, 2, "", "--volume 不能为空"},
        {{"--export-anki", "--volume", "没有这一册", "out.apkg"}, 1, "", "找不到课本“没有这一册”"},
    };
    QTemporaryDir home;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess lexbay;
        lexbay.setWorkingDirectory(home.path());
        lexbay.start("env", QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                        "XDG_DATA_HOME=" + home.path(), LEXBAY_PROGRAM} +
                                c.arguments);
        ASSERT_TRUE(lexbay.waitForFinished(30000));
        EXPECT_EQ(lexbay.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(lexbay.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(lexbay.readAllStandardOutput());
        const QString err = QString::fromUtf8(lexbay.readAllStandardError());
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
        if (c.exitCode != 0) {
            EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
            EXPECT_TRUE(err.startsWith("lexbay: ")) << err.toStdString();
        } else {
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        }
    }
}

}  // namespace
