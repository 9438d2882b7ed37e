#pragma once

// One command of the command line: its option (`--name`), the options and
// arguments it takes, and what it does. Each command lives in a file of its
// own and is listed once in Commands.cpp.

#include "course/RunFolders.h"

#include <QCommandLineOption>
#include <QList>
#include <QString>
#include <QTextStream>

class QCommandLineParser;

// What a command may use: the run's folders, and the two streams, output for
// results and errors for progress and problems.
struct CommandContext {
    RunFolders folders;
    QTextStream& out;
    QTextStream& err;
};

struct Command {
    // The option that names the command, without its dashes.
    QString name;
    // One line for --help.
    QString description;
    // Its own options, beside the command's name.
    QList<QCommandLineOption> options;
    // The whole call as --help shows it, after the program's name
    // ("--import --volume NAME [--title TITLE] AUDIO TEXT").
    QString usage;
    // Runs the command; returns the process's exit code.
    int (*run)(const QCommandLineParser& parser, CommandContext& context);
};

// Every command of the command line, in --help order.
const QList<Command>& commands();
