#pragma once

// Timing, memory and command helpers shared by the benchmark programs.

#include <chrono>
#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/resource.h>

namespace qw::bench {

using Clock = std::chrono::steady_clock;

inline double seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

/// Wall time of a shell command (for comparing with cat and cp).
inline double shell(const std::string& command) {
    const auto start = Clock::now();
    if (std::system(command.c_str()) != 0)
        std::cerr << "failed: " << command << '\n';
    return seconds(start);
}

/// User and system CPU time of this process so far.
inline double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

/// Peak resident memory of this process so far, in KiB.
inline long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

template <typename Step> double timed(Step step) {
    const auto start = Clock::now();
    step();
    return seconds(start);
}

} // namespace qw::bench
