#include "cli/CommandLine.h"

#include "cli/Command.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

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

bool namesAny(const QStringList& arguments, const QStringList& options)
{
    for (const QString& argument : arguments.mid(1)) {
        if (argument == "--")
            return false;
        if (options.contains(argument))
            return true;
    }
    return false;
}

QStringList commandOptions()
{
    QStringList options{"-h", "--help", "--help-all", "-v", "--version"};
    for (const Command& command : commands())
        options << "--" + command.name;
    return options;
}

// The window needs a display unless a platform plugin was chosen by hand
// (the tests' offscreen one, say).
bool windowCanShow(const QStringList& arguments)
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || arguments.contains("-platform"))
        return true;
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

QString usageLines()
{
    QString lines = "Lexbay 英语课文学习程序。不带命令时打开学习窗口。\n\n命令：";
    for (const Command& command : commands())
        lines += QString("\n  %1 %2").arg(kProgramName, command.usage);
    return lines;
}

int runCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Lexbay");
    QCoreApplication::setApplicationVersion(LEXBAY_VERSION);
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(usageLines());
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (const Command& command : commands()) {
        parser.addOption(QCommandLineOption(command.name, command.description));
        // Commands may share an option (--volume): the first one added stands.
        for (const QCommandLineOption& option : command.options)
            parser.addOption(option);
    }
    if (!parser.parse(QCoreApplication::arguments())) {
        err << kProgramName << ": " << parser.errorText() << "\n";
        return 2;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        out << "Lexbay " << LEXBAY_VERSION << "\n";
        return 0;
    }
    const Command* chosen = nullptr;
    for (const Command& command : commands()) {
        if (!parser.isSet(command.name))
            continue;
        if (chosen) {
            err << kProgramName << ": --" << chosen->name << " 和 --" << command.name << " 不能同时使用\n";
            return 2;
        }
        chosen = &command;
    }
    CommandContext context{RunFolders::locate(QCoreApplication::applicationDirPath()), out, err};
    return chosen->run(parser, context);
}

}  // namespace

std::optional<int> runCommandLine(int argc, char* argv[])
{
    const QStringList arguments = argumentList(argc, argv);
    if (namesAny(arguments, commandOptions()))
        return runCommand(argc, argv);
    if (!windowCanShow(arguments)) {
        std::fprintf(stderr,
                     "%s: 没有可以显示窗口的显示器（DISPLAY 和 WAYLAND_DISPLAY 都未设置）；"
                     "不用窗口的命令见 %s --help\n",
                     kProgramName, kProgramName);
        return 1;
    }
    return std::nullopt;
}
