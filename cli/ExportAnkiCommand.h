#pragma once

#include "cli/Command.h"

// --export-anki: a lesson or a whole volume as an Anki package; with --words,
// the word book to the file it names, one note per word with the sentence
// it was met in.
int runExportAnki(const CommandLineRequest& line, CommandContext& context);
