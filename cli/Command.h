#pragma once

// One command of the command line: its syntax and what it does. Each
// command's work lives in a file of its own and is listed once in
// Commands.cpp; what it accepts is in CommandSyntax.cpp.

#include "cli/CommandLineRequest.h"
#include "course/RunFolders.h"

#include <QList>
#include <QString>
#include <QTextStream>

// What a command may use: the run's folders, and the two streams, output for
// results and errors for progress and problems.
struct CommandContext {
    RunFolders folders;
    QTextStream& out;
    QTextStream& err;
};

// Runs a command whose options and arguments the request has checked;
// returns the process's exit code.
using CommandRun = int (*)(const CommandLineRequest& request, CommandContext& context);

// The work of the command named `name` (as in its syntax).
CommandRun commandRun(const QString& name);
