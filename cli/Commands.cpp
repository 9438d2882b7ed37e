#include "cli/Command.h"
#include "cli/ReviewDueCommand.h"

const QList<Command>& commands()
{
    static const QList<Command> all = {
        reviewDueCommand(),
    };
    return all;
}
