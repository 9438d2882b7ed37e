#pragma once

#include "cli/Command.h"

// --export-anki: a lesson or a whole volume as an Anki package.
int runExportAnki(const CommandLineRequest& line, CommandContext& context);
