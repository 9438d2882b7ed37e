// The command line's reader. The bytes are the arguments, split at each NUL.
// Whatever they hold, the request is one of the kinds it names: a command
// with everything its syntax asks for, or a usage error in one line.

#include "cli/CommandLineRequest.h"

#include <cstdint>
#include <cstdlib>

namespace {

void require(bool holds)
{
    if (!holds)
        std::abort();
}

bool names(const QStringList& arguments, const QStringList& options)
{
    for (const QString& argument : arguments) {
        if (argument == "--")
            return false;
        if (options.contains(argument))
            return true;
    }
    return false;
}

void checkCommand(const CommandLineRequest& request)
{
    const CommandSyntax* command = request.command;
    require(command != nullptr && request.error.isEmpty());
    require(request.arguments.size() <= command->arguments.size()
            && request.arguments.size() >= command->arguments.size() - command->optionalArguments);
    for (auto given = request.options.cbegin(); given != request.options.cend(); ++given) {
        const OptionSyntax* option = command->option(given.key());
        require(option != nullptr);
        require(option->takesValue() || given.value().isEmpty());
    }
    for (const OptionSyntax& option : command->options)
        require(!option.required || request.isSet(option.name));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    QStringList arguments{"lexbay"};
    if (size > 0) {
        for (const QByteArray& argument : bytes.split('\0'))
            arguments << QString::fromUtf8(argument);
    }
    const CommandLineRequest request = parseCommandLine(arguments);
    const QStringList given = arguments.mid(1);
    switch (request.kind) {
    case CommandLineRequest::Kind::Command:
        checkCommand(request);
        break;
    case CommandLineRequest::Kind::UsageError:
        require(!request.error.isEmpty() && !request.error.contains('\n') && !request.error.contains('\r'));
        break;
    case CommandLineRequest::Kind::Help:
        require(names(given, {"-h", "--help", "--help-all"}) && !helpText(request.helpAll).isEmpty());
        break;
    case CommandLineRequest::Kind::Version:
        require(names(given, {"-v", "--version"}));
        break;
    case CommandLineRequest::Kind::Window:
        require(request.command == nullptr && request.arguments.isEmpty() && request.options.isEmpty());
        for (const CommandSyntax& command : commandSyntaxes())
            require(!names(given, {"--" + command.name}));
        break;
    }
    // The same list reads the same way again.
    const CommandLineRequest again = parseCommandLine(arguments);
    require(again.kind == request.kind && again.error == request.error && again.options == request.options);
    return 0;
}
