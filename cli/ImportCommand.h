#pragma once

#include "cli/Command.h"

// lexbay --import --volume NAME [--title TITLE] [--words FILE] [--merge-cues] AUDIO TEXT
int runImport(const CommandLineRequest& line, CommandContext& context);
