#pragma once

#include "cli/Command.h"

// lexbay --review-due [--date YYYY-MM-DD]: how many sentences are due for
// review on a day (today unless given, the local date), the overdue ones
// included. For scripts and reminders.
int runReviewDue(const CommandLineRequest& line, CommandContext& context);
