#pragma once

// Bounds every step of a test: a step that has not ended after its time
// limit is a hang, and the process aborts naming it, rather than waiting for
// the test runner's timeout.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class Watchdog {
public:
    explicit Watchdog(std::string testName, std::chrono::seconds limitPerStep = std::chrono::seconds(30));
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // Starts the next step; its time limit starts now.
    void step(const std::string& name);

private:
    void watch();

    const std::string testName_;
    const std::chrono::seconds limit_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string step_;
    std::chrono::steady_clock::time_point stepStarted_;
    bool finished_ = false;
    std::thread thread_;
};
