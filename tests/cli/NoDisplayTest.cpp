// The program with no display at all: --help and --version answer, and the
// window's start says in one line why it cannot show, instead of aborting.

#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

namespace {

TEST(NoDisplay, HelpVersionAndTheWindowsOneLine)
{
    const struct {
        QStringList arguments;
        int exitCode;
        const char* out;
        const char* err;
    } cases[] = {
        {{"--help"}, 0, "--import", ""},
        {{"--version"}, 0, "Lexbay ", ""},
        {{}, 1, "", "没有可以显示窗口的显示器"},
        {{"--import", "--review-due"}, 2, "", "不能同时使用"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QProcess lexbay;
        lexbay.start("env", QStringList{"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM",
                                        LEXBAY_PROGRAM} + c.arguments);
        ASSERT_TRUE(lexbay.waitForFinished(30000));
        EXPECT_EQ(lexbay.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(lexbay.exitCode(), c.exitCode);
        const QString out = QString::fromUtf8(lexbay.readAllStandardOutput());
        const QString err = QString::fromUtf8(lexbay.readAllStandardError());
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
        if (c.exitCode == 1)
            EXPECT_EQ(err.count('\n'), 1) << err.toStdString();
    }
}

}  // namespace
