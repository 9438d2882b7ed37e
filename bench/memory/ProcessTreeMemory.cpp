#include "ProcessTreeMemory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <unordered_set>

namespace {

std::vector<pid_t> allProcesses()
{
    std::vector<pid_t> pids;
    if (DIR* proc = opendir("/proc")) {
        while (const dirent* entry = readdir(proc)) {
            char* end = nullptr;
            const long pid = std::strtol(entry->d_name, &end, 10);
            if (*end == '\0' && pid > 0)
                pids.push_back(pid_t(pid));
        }
        closedir(proc);
    }
    return pids;
}

std::string procFile(pid_t pid, const char* name)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + name);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

pid_t parentOf(pid_t pid)
{
    const std::string stat = procFile(pid, "stat");
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream rest(stat.substr(close + 2));
    char state = 0;
    pid_t parent = 0;
    rest >> state >> parent;
    return parent;
}

// The root and its descendants, parents before children.
std::vector<pid_t> processTree(pid_t root)
{
    std::multimap<pid_t, pid_t> children;
    for (pid_t pid : allProcesses())
        children.emplace(parentOf(pid), pid);
    std::vector<pid_t> tree{root};
    for (std::size_t i = 0; i < tree.size(); ++i) {
        const auto range = children.equal_range(tree[i]);
        for (auto it = range.first; it != range.second; ++it)
            tree.push_back(it->second);
    }
    return tree;
}

std::string webEngineType(pid_t pid)
{
    const std::string commandLine = procFile(pid, "cmdline");
    std::istringstream arguments(commandLine);
    for (std::string argument; std::getline(arguments, argument, '\0');) {
        if (argument.rfind("--type=", 0) == 0)
            return argument.substr(7);
    }
    return {};
}

// A field of the process's smaps_rollup, in kilobytes.
long rollupField(const std::string& rollup, const std::string& field)
{
    const std::size_t at = rollup.find("\n" + field + ":");
    return at == std::string::npos ? 0 : std::stol(rollup.substr(at + field.size() + 2));
}

// Adds the page frames of every resident page the process maps; false when
// the frames cannot be read.
bool addPageFrames(pid_t pid, std::unordered_set<std::uint64_t>& frames)
{
    constexpr std::uint64_t kPresent = 1ULL << 63;
    constexpr std::uint64_t kFrameMask = (1ULL << 55) - 1;
    constexpr std::uint64_t kPiece = 65536;
    const long pageSize = sysconf(_SC_PAGESIZE);
    const int pagemap = open(("/proc/" + std::to_string(pid) + "/pagemap").c_str(), O_RDONLY);
    if (pagemap < 0)
        return false;
    std::istringstream smaps(procFile(pid, "smaps"));
    std::uint64_t start = 0, end = 0;
    bool sawFrame = false, sawPresent = false;
    std::vector<std::uint64_t> entries;
    for (std::string line; std::getline(smaps, line);) {
        if (line.find('-') != std::string::npos && line.find(':') > line.find(' ')) {
            std::istringstream range(line);
            char dash = 0;
            range >> std::hex >> start >> dash >> end;
        } else if (line.rfind("Rss:", 0) == 0 && std::stol(line.substr(4)) > 0) {
            // In pieces: a mapping may span gigabytes of which little is resident.
            for (std::uint64_t page = start / pageSize; page < end / pageSize; page += kPiece) {
                entries.resize(std::min<std::uint64_t>(kPiece, end / pageSize - page));
                const ssize_t got = pread(pagemap, entries.data(), entries.size() * sizeof(std::uint64_t),
                                          off_t(page * sizeof(std::uint64_t)));
                for (ssize_t i = 0; i < got / ssize_t(sizeof(std::uint64_t)); ++i) {
                    if (entries[i] & kPresent) {
                        sawPresent = true;
                        if (entries[i] & kFrameMask) {
                            sawFrame = true;
                            frames.insert(entries[i] & kFrameMask);
                        }
                    }
                }
            }
        }
    }
    close(pagemap);
    // Without the right to see frames the kernel reports them all as zero.
    return sawFrame || !sawPresent;
}

}  // namespace

ProcessTreeMemory measureProcessTree(pid_t root)
{
    ProcessTreeMemory memory;
    std::unordered_set<std::uint64_t> frames;
    bool framesReadable = true;
    std::set<pid_t> zygotes;
    for (pid_t pid : processTree(root)) {
        std::string kind = pid == root ? "program" : webEngineType(pid);
        if (kind == "zygote") {
            // Renderers are forked from a zygote and keep its command line.
            if (zygotes.count(parentOf(pid)) != 0)
                kind = "renderer";
            else
                zygotes.insert(pid);
        }
        const std::string rollup = procFile(pid, "smaps_rollup");
        const long pss = rollupField(rollup, "Pss");
        memory.processes.push_back({pid, kind.empty() ? "other" : kind, pss, rollupField(rollup, "Anonymous")});
        memory.pssKilobytes += pss;
        framesReadable = addPageFrames(pid, frames) && framesReadable;
    }
    if (framesReadable)
        memory.distinctKilobytes = long(frames.size()) * (sysconf(_SC_PAGESIZE) / 1024);
    return memory;
}

int otherWebEngineProcesses(pid_t root)
{
    const std::vector<pid_t> tree = processTree(root);
    const std::set<pid_t> ours(tree.begin(), tree.end());
    int others = 0;
    for (pid_t pid : allProcesses()) {
        if (ours.count(pid) == 0 && procFile(pid, "maps").find("libQt6WebEngineCore") != std::string::npos)
            ++others;
    }
    return others;
}
