#pragma once

// What the command line accepts: each command's name, its options and how
// many arguments it takes. Data only, so that the parser can be exercised
// without the commands' work behind it.

#include <QList>
#include <QString>

struct OptionSyntax {
    // Without its dashes ("volume").
    QString name;
    // What its value stands for in --help ("NAME"); empty for a switch.
    QString valueName;
    QString description;
    bool required = false;

    bool takesValue() const { return !valueName.isEmpty(); }
};

struct CommandSyntax {
    // The option that names the command, without its dashes.
    QString name;
    // One line for --help.
    QString description;
    QList<OptionSyntax> options;
    // What the arguments after the options stand for, in order ("AUDIO TEXT").
    QStringList arguments;
    // How many of the last arguments may be left out.
    int optionalArguments = 0;

    const OptionSyntax* option(const QString& name) const;
    // The whole call as --help shows it, after the program's name
    // ("--import --volume NAME [--title TITLE] AUDIO TEXT").
    QString usage() const;
};

// Every command, in --help order.
const QList<CommandSyntax>& commandSyntaxes();
