#pragma once

// What an argument list asks for: the window, help, the version, one command
// with its options and arguments, or nothing, because it is wrong, with the
// one line that says why. Any list of strings is read without fail.
//
// Options are "--name VALUE" or "--name=VALUE"; a value that begins with a
// dash is taken for a forgotten value unless given as "--name=VALUE". After
// "--" everything is an argument. -h, --help, --help-all, -v and --version
// win wherever they stand before "--". Without a command the window's own
// options (-platform NAME, -style NAME, …) pass to the window.

#include "cli/CommandSyntax.h"

#include <QMap>
#include <QString>
#include <QStringList>

struct CommandLineRequest {
    enum class Kind { Window, Help, Version, Command, UsageError };
    Kind kind = Kind::Window;
    // The command asked for, when there is one.
    const CommandSyntax* command = nullptr;
    // Each option given, by name, with its value (empty for a switch).
    QMap<QString, QString> options;
    QStringList arguments;
    // A usage error: what is wrong and the usage that is right, one line.
    QString error;
    // --help-all: the window's own options are listed too.
    bool helpAll = false;

    bool isSet(const QString& option) const { return options.contains(option); }
    QString value(const QString& option) const { return options.value(option); }
};

// `arguments` as the program got them, its own name first.
CommandLineRequest parseCommandLine(const QStringList& arguments);

// What --help (or, with `all`, --help-all) prints.
QString helpText(bool all);
