#include "cli/CommandLine.h"

#include "cli/Command.h"
#include "cli/CommandLineRequest.h"

#include <QCoreApplication>
#include <QStringList>
#include <QTextStream>

#include <cstdio>

namespace {

const char* const kProgramName = "lexbay";

QStringList argumentList(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The window needs a display unless a platform plugin was chosen by hand
// (the tests' offscreen one, say).
bool windowCanShow(const QStringList& arguments)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || arguments.contains("-platform") ||
        arguments.contains("--platform"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void printLine(FILE* stream, const QString& line)
{
    std::fputs(line.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
}

int runCommand(int argc, char* argv[], const CommandLineRequest& request)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Lexbay");
    QCoreApplication::setApplicationVersion(LEXBAY_VERSION);
    QTextStream out(stdout);
    QTextStream err(stderr);
    CommandContext context{RunFolders::locate(QCoreApplication::applicationDirPath()), out, err};
    return commandRun(request.command->name)(request, context);
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    const QStringList arguments = argumentList(argc, argv);
    const CommandLineRequest request = parseCommandLine(arguments);
    switch (request.kind) {
    case CommandLineRequest::Kind::UsageError:
        printLine(stderr, QString("%1: %2").arg(kProgramName, request.error));
        return 2;
    case CommandLineRequest::Kind::Help:
        std::fputs(helpText(request.helpAll).toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLineRequest::Kind::Version:
        printLine(stdout, QString("Lexbay %1").arg(LEXBAY_VERSION));
        return 0;
    case CommandLineRequest::Kind::Command:
        return runCommand(argc, argv, request);
    case CommandLineRequest::Kind::Window:
        break;
    }
    if (!windowCanShow(arguments)) {
        std::fprintf(stderr,
                     "%s: 没有可以显示窗口的显示器（DISPLAY 和 WAYLAND_DISPLAY 都未设置）；"
                     "不用窗口的命令见 %s --help\n",
                     kProgramName, kProgramName);
        return 1;
    }
    return std::nullopt;
}
