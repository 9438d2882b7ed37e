#pragma once

// What the benchmarks read of their own process and how they let its event
// loop run.

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

// The process's memory not backed by a file (its heaps), in kB; -1 when
// /proc cannot be read.
inline long anonymousKilobytes()
{
    std::ifstream rollup("/proc/self/smaps_rollup");
    for (std::string line; std::getline(rollup, line);) {
        if (line.rfind("Anonymous:", 0) == 0)
            return std::stol(line.substr(10));
    }
    return -1;
}

// Handles events for a while.
inline void settle(int milliseconds)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < milliseconds)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The value below which a share `p` (0 … 1) of the values lie; 0 for none.
inline double percentile(std::vector<double> values, double p)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[std::min(values.size() - 1, size_t(p * values.size()))];
}
