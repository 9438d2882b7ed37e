#include "cli/Command.h"
#include "cli/ExportAnkiCommand.h"
#include "cli/ImportCommand.h"
#include "cli/ReviewDueCommand.h"

const QList<Command>& commands()
{
    static const QList<Command> all = {
        importCommand(),
        exportAnkiCommand(),
        reviewDueCommand(),
    };
    return all;
}
