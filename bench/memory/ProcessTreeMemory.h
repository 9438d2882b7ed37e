#pragma once

// The memory a process and all its descendants (WebEngine's zygotes and
// renderers) hold, read from /proc.

#include <string>
#include <vector>

#include <sys/types.h>

struct ProcessMemory {
    pid_t pid;
    std::string kind;  // "program", "zygote", "renderer", or WebEngine's --type
    long pssKilobytes;
    long anonymousKilobytes;  // memory not backed by a file: heaps, stacks, caches
};

struct ProcessTreeMemory {
    std::vector<ProcessMemory> processes;
    // The proportional set sizes summed (smaps_rollup). Pages shared with
    // processes outside the tree count in part, so the sum falls while other
    // programs map the same libraries.
    long pssKilobytes = 0;
    // The distinct physical pages the tree maps: its footprint were it alone
    // on the machine, which other processes do not move. -1 when the page
    // frames cannot be read (they need root).
    long distinctKilobytes = -1;
};

ProcessTreeMemory measureProcessTree(pid_t root);

// Other processes (outside the tree) that map WebEngine's library: while
// there are any, they share its pages and the PSS sum reads lower.
int otherWebEngineProcesses(pid_t root);
