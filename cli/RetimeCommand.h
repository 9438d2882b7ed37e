#pragma once

#include "cli/Command.h"

// lexbay --retime --volume NAME --lesson N --sentence K --start SECONDS: sets
// where sentence K of lesson N of an own volume starts, as the boundary
// editor does (the first spoken word moving with it). Exit 0 when set, 2
// with one line on a bad argument (a start outside what the neighbours
// allow included), 1 when the lesson cannot be changed (a shipped volume, a
// lesson without times, a file that cannot be written).
int runRetime(const CommandLineRequest& line, CommandContext& context);
