// Opening an address in the user's web browser, through the desktop's
// registered opener. No shell is involved: the address is the opener's one
// argument, whatever characters it holds.

#include "lexbaydll.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <thread>

extern char** environ;

namespace {

constexpr const char* kOpener = "xdg-open";

bool openerOnPath()
{
    const char* path = std::getenv("PATH");
    if (path == nullptr)
        return false;
    std::string dirs(path);
    std::size_t start = 0;
    while (start <= dirs.size()) {
        std::size_t end = dirs.find(':', start);
        if (end == std::string::npos)
            end = dirs.size();
        std::string dir = dirs.substr(start, end - start);
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + kOpener;
        if (access(candidate.c_str(), X_OK) == 0)
            return true;
        start = end + 1;
    }
    return false;
}

}  // namespace

int32_t dllIePage(const char* address)
{
    if (address == nullptr || !openerOnPath())
        return -1;
    char* argv[] = {const_cast<char*>(kOpener), const_cast<char*>(address), nullptr};
    pid_t pid = 0;
    if (posix_spawnp(&pid, kOpener, nullptr, nullptr, argv, environ) == 0) {
        // The caller does not wait for the browser; a detached reaper
        // collects the opener's exit so that it leaves no zombie behind.
        std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
    }
    return 0;
}
