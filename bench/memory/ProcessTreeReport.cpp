// Prints the memory of a running program and all its WebEngine processes in
// one line, for the soak of the real program, which reads it from outside.
// The count of WebEngine processes outside the tree comes with it: while
// there are any, they share the library's pages and the PSS sum reads lower.
//
//   bench_process_memory <process id>
//
// Run as root for the distinct-page count (page frames are hidden from
// other users).

#include "ProcessTreeMemory.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>

namespace {

double megabytes(long kilobytes) { return double(kilobytes) / 1024; }

}  // namespace

int main(int argc, char** argv)
{
    const pid_t root = argc == 2 ? pid_t(std::atol(argv[1])) : 0;
    if (root <= 0) {
        std::fprintf(stderr, "usage: bench_process_memory <process id>\n");
        return 2;
    }
    const ProcessTreeMemory memory = measureProcessTree(root);
    if (memory.processes.empty() || memory.pssKilobytes == 0) {
        std::fprintf(stderr, "bench_process_memory: no process %d\n", int(root));
        return 1;
    }
    std::map<std::string, std::pair<int, long>> byKind;
    for (const ProcessMemory& p : memory.processes) {
        ++byKind[p.kind].first;
        byKind[p.kind].second += p.pssKilobytes;
    }
    std::string kinds;
    for (const auto& [name, kind] : byKind) {
        char part[96];
        std::snprintf(part, sizeof part, "%s%s %d × %.1f MB", kinds.empty() ? "" : "; ", name.c_str(), kind.first,
                      megabytes(kind.second));
        kinds += part;
    }
    const ProcessMemory& program = memory.processes.front();
    std::printf("total PSS %.1f MB in %zu processes (%s); distinct pages %.1f MB; program PSS %.1f MB, "
                "anonymous %.1f MB; other WebEngine processes %d\n",
                megabytes(memory.pssKilobytes), memory.processes.size(), kinds.c_str(),
                megabytes(memory.distinctKilobytes), megabytes(program.pssKilobytes),
                megabytes(program.anonymousKilobytes), otherWebEngineProcesses(root));
    return 0;
}
