#include "cli/Command.h"
#include "cli/ExportAnkiCommand.h"
#include "cli/ImportCommand.h"
#include "cli/LookupCommand.h"
#include "cli/RetimeCommand.h"
#include "cli/ReviewDueCommand.h"

CommandRun commandRun(const QString& name)
{
    static const QList<QPair<QString, CommandRun>> all = {
        {"import", runImport},
        {"export-anki", runExportAnki},
        {"review-due", runReviewDue},
        {"lookup", runLookup},
        {"retime", runRetime},
    };
    for (const auto& [commandName, run] : all) {
        if (commandName == name)
            return run;
    }
    return nullptr;
}
