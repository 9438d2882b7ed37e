#include "cli/Command.h"
#include "cli/ImportCommand.h"

const QList<Command>& commands()
{
    static const QList<Command> all = {
        importCommand(),
    };
    return all;
}
