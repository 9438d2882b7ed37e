#include "cli/CommandLineRequest.h"

#include <optional>

namespace {

const char* const kProgramName = "lexbay";

// The window system's own options, written with one dash or two, and
// whether each takes a value. The window's application reads them.
struct WindowOption {
    const char* name;
    bool takesValue;
};
const WindowOption kWindowOptions[] = {
    {"platform", true},   {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true},   {"qwindowtitle", true},  {"session", true},
    {"display", true},    {"geometry", true},           {"style", true},         {"stylesheet", true},
    {"qmljsdebugger", true}, {"reverse", false},        {"widgetcount", false},
};

bool looksLikeOption(const QString& argument) { return argument.size() > 1 && argument.startsWith('-'); }

// An option as it was written: its name without dashes, and the value
// joined to it by "=", if any.
struct Written {
    QString text;
    QString name;
    bool doubleDash = false;
    std::optional<QString> joinedValue;
};

Written written(const QString& argument)
{
    Written w;
    w.doubleDash = argument.startsWith("--");
    const QString body = argument.mid(w.doubleDash ? 2 : 1);
    const int equals = body.indexOf('=');
    w.name = equals < 0 ? body : body.left(equals);
    if (equals >= 0)
        w.joinedValue = body.mid(equals + 1);
    w.text = (w.doubleDash ? "--" : "-") + w.name;
    return w;
}

const CommandSyntax* commandNamed(const QString& name)
{
    for (const CommandSyntax& command : commandSyntaxes()) {
        if (command.name == name)
            return &command;
    }
    return nullptr;
}

// Whether a command's option of this name takes a value; nothing when no
// command has such an option.
std::optional<bool> commandOptionTakesValue(const QString& name)
{
    for (const CommandSyntax& command : commandSyntaxes()) {
        if (const OptionSyntax* option = command.option(name))
            return option->takesValue();
    }
    return std::nullopt;
}

std::optional<bool> windowOptionTakesValue(const QString& name)
{
    for (const WindowOption& option : kWindowOptions) {
        if (name == option.name)
            return option.takesValue;
    }
    return std::nullopt;
}

// An option given: as written, and its value.
struct Given {
    QString text;
    QString name;
    std::optional<QString> value;
    bool window = false;
};

class Reader {
public:
    explicit Reader(const QStringList& arguments) : arguments_(arguments) {}

    CommandLineRequest read()
    {
        if (askedForHelpOrVersion())
            return request_;
        usageShown_ = firstCommandNamed();
        for (int i = 0; i < arguments_.size(); ++i) {
            if (!readArgument(i))
                return request_;
        }
        if (request_.command == nullptr)
            checkWindow();
        else
            checkCommand();
        return request_;
    }

private:
    bool askedForHelpOrVersion()
    {
        for (const QString& argument : arguments_) {
            if (argument == "--")
                return false;
            if (argument == "-h" || argument == "--help" || argument == "--help-all") {
                request_.kind = CommandLineRequest::Kind::Help;
                request_.helpAll = argument == "--help-all";
                return true;
            }
            if (argument == "-v" || argument == "--version") {
                request_.kind = CommandLineRequest::Kind::Version;
                return true;
            }
        }
        return false;
    }

    // The command whose usage an error names, before the list is read.
    const CommandSyntax* firstCommandNamed() const
    {
        for (const QString& argument : arguments_) {
            if (argument == "--")
                break;
            if (argument.startsWith("--")) {
                if (const CommandSyntax* command = commandNamed(written(argument).name))
                    return command;
            }
        }
        return nullptr;
    }

    bool readArgument(int& i)
    {
        const QString& argument = arguments_.at(i);
        if (!optionsEnded_ && argument == "--") {
            optionsEnded_ = true;
            return true;
        }
        if (optionsEnded_ || !looksLikeOption(argument)) {
            request_.arguments << argument;
            return true;
        }
        const Written w = written(argument);
        if (w.doubleDash) {
            if (const CommandSyntax* command = commandNamed(w.name))
                return readCommand(w, command);
            if (const std::optional<bool> takesValue = commandOptionTakesValue(w.name))
                return readOption(i, w, *takesValue, false);
        }
        if (const std::optional<bool> takesValue = windowOptionTakesValue(w.name))
            return readOption(i, w, *takesValue, true);
        return fail(QString("不认识的选项“%1”").arg(argument));
    }

    bool readCommand(const Written& w, const CommandSyntax* command)
    {
        if (w.joinedValue)
            return fail(QString("%1 不带值").arg(w.text));
        if (request_.command == command)
            return fail(QString("%1 给了两次").arg(w.text));
        if (request_.command != nullptr)
            return fail(QString("--%1 和 %2 不能同时使用").arg(request_.command->name, w.text));
        request_.command = command;
        return true;
    }

    bool readOption(int& i, const Written& w, bool takesValue, bool window)
    {
        Given given{w.text, w.name, w.joinedValue, window};
        if (takesValue && !given.value) {
            const bool present = i + 1 < arguments_.size();
            if (!present || arguments_.at(i + 1) == "--" || looksLikeOption(arguments_.at(i + 1)))
                return fail(QString("%1 缺少值（以“-”开头的值请写成 %1=值）").arg(w.text));
            given.value = arguments_.at(++i);
        }
        for (const Given& earlier : given_) {
            if (earlier.name == given.name)
                return fail(QString("%1 给了两次").arg(w.text));
        }
        given_ << given;
        return true;
    }

    void checkWindow()
    {
        for (const Given& given : given_) {
            if (!given.window) {
                fail(QString("%1 要和命令一起用").arg(given.text));
                return;
            }
            if (given.value && !*windowOptionTakesValue(given.name)) {
                fail(QString("%1 不带值").arg(given.text));
                return;
            }
        }
        if (!request_.arguments.isEmpty()) {
            fail(QString("多余的参数“%1”：不带命令时只打开学习窗口").arg(request_.arguments.first()));
            return;
        }
        request_.kind = CommandLineRequest::Kind::Window;
    }

    void checkCommand()
    {
        const CommandSyntax& command = *request_.command;
        for (const Given& given : given_) {
            const OptionSyntax* option = given.window ? nullptr : command.option(given.name);
            if (option == nullptr) {
                fail(QString("%1 不是 --%2 的选项").arg(given.text, command.name));
                return;
            }
            if (given.value && !option->takesValue()) {
                fail(QString("%1 不带值").arg(given.text));
                return;
            }
            request_.options.insert(given.name, given.value.value_or(QString()));
        }
        for (const OptionSyntax& option : command.options) {
            if (option.required && !request_.isSet(option.name)) {
                fail(QString("--%1 需要 --%2 %3").arg(command.name, option.name, option.valueName));
                return;
            }
        }
        const int most = int(command.arguments.size());
        const int least = most - command.optionalArguments;
        const int given = int(request_.arguments.size());
        if (given < least || given > most) {
            const QString count = least == most ? QString::number(most) : QString("%1 到 %2").arg(least).arg(most);
            fail(command.arguments.isEmpty()
                     ? QString("--%1 不带参数，却给了“%2”").arg(command.name, request_.arguments.first())
                     : QString("--%1 需要 %2 个参数（%3），却给了 %4 个")
                           .arg(command.name, count, command.usage().section(' ', -most))
                           .arg(given));
            return;
        }
        request_.kind = CommandLineRequest::Kind::Command;
    }

    bool fail(const QString& why)
    {
        request_.kind = CommandLineRequest::Kind::UsageError;
        const CommandSyntax* shown = request_.command != nullptr ? request_.command : usageShown_;
        const QString right = shown != nullptr ? QString("用法：%1 %2").arg(kProgramName, shown->usage())
                                               : QString("用法见 %1 --help").arg(kProgramName);
        // One line, whatever the arguments hold.
        request_.error = QString("%1。%2").arg(why, right).replace('\n', ' ').replace('\r', ' ');
        return false;
    }

    QStringList arguments_;
    CommandLineRequest request_;
    QList<Given> given_;
    const CommandSyntax* usageShown_ = nullptr;
    bool optionsEnded_ = false;
};

}  // namespace

CommandLineRequest parseCommandLine(const QStringList& arguments) { return Reader(arguments.mid(1)).read(); }

QString helpText(bool all)
{
    QString text = QString("用法：%1 [命令]\n\nLexbay 英语课文学习程序。不带命令时打开学习窗口。\n").arg(kProgramName);
    for (const CommandSyntax& command : commandSyntaxes()) {
        text += QString("\n  %1 %2\n      %3\n").arg(kProgramName, command.usage(), command.description);
        for (const OptionSyntax& option : command.options) {
            const QString call = option.takesValue() ? QString("--%1 %2").arg(option.name, option.valueName)
                                                      : "--" + option.name;
            text += QString("      %1  %2\n").arg(call, -24).arg(option.description);
        }
    }
    text += QString("\n  %1 -h, --help, --help-all\n      显示这段说明\n  %1 -v, --version\n      显示版本\n")
                .arg(kProgramName);
    if (all) {
        text += "\n学习窗口还接受窗口系统的选项：";
        QStringList names;
        for (const WindowOption& option : kWindowOptions)
            names << QString("-%1%2").arg(option.name, option.takesValue ? " 值" : "");
        text += names.join("，") + "\n";
    }
    return text;
}
