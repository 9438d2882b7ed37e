#pragma once

#include "cli/Command.h"

// lexbay --lookup WORD: the dictionary's entry for a word (its headword or
// the headwords it is a form of): phonetic, Chinese meanings, forms, marks.
// Exit 0 when found, 1 when not, or when the dictionary cannot be read.
int runLookup(const CommandLineRequest& line, CommandContext& context);
