#include "Watchdog.h"

#include <cstdio>
#include <cstdlib>

Watchdog::Watchdog(std::string testName, std::chrono::seconds limitPerStep)
    : testName_(std::move(testName)), limit_(limitPerStep), step_("set-up"),
      stepStarted_(std::chrono::steady_clock::now()), thread_([this] { watch(); })
{
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        finished_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void Watchdog::step(const std::string& name)
{
    std::lock_guard<std::mutex> lock(mutex_);
    step_ = name;
    stepStarted_ = std::chrono::steady_clock::now();
    changed_.notify_all();
}

void Watchdog::watch()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!finished_) {
        const auto deadline = stepStarted_ + limit_;
        if (changed_.wait_until(lock, deadline) == std::cv_status::timeout && !finished_
            && std::chrono::steady_clock::now() >= stepStarted_ + limit_) {
            std::fprintf(stderr, "%s: step \"%s\" hangs (over %lld s)\n", testName_.c_str(), step_.c_str(),
                         static_cast<long long>(limit_.count()));
            std::abort();
        }
    }
}
