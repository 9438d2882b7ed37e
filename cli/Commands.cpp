#include "cli/Command.h"
#include "cli/ExportAnkiCommand.h"

const QList<Command>& commands()
{
    static const QList<Command> all = {
        exportAnkiCommand(),
    };
    return all;
}
