#pragma once

// Lexbay's commands that need no window: each runs on a core application
// (no display, no window system) and ends the process with its exit code.
//
//     lexbay --help | --version
//     lexbay --<command> [options] [arguments]
//
// Started with no command, the program shows its window; with no display to
// show it on, it says so in one line and exits non-zero, instead of the
// window system's abort.

#include <optional>

// What the command line asks for: an exit code when it named a command (or
// asked for help or the version, or there is no display for the window),
// nothing when the window is to start.
std::optional<int> runCommandLine(int argc, char* argv[]);
