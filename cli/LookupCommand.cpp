#include "cli/LookupCommand.h"

#include "dictionary/Dictionary.h"
#include "dictionary/EntryText.h"

int runLookup(const CommandLineRequest& line, CommandContext& context)
{
    Dictionary dictionary(dictionaryFile(context.folders.program));
    const WordLookup lookup = dictionary.lookup(line.arguments.value(0));
    if (lookup.kind == WordLookup::Kind::Unreadable) {
        context.err << "lexbay: " << notFoundText(lookup) << "\n";
        return 1;
    }
    context.out << lookupText(lookup);
    return lookup.found() ? 0 : 1;
}
