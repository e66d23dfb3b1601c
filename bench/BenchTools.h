#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <unistd.h>

#include "mail/QvRun.h"

// Small helpers shared by the benchmark programs.

inline double Seconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Best wall time of `runs` runs of a shell command; exits when the command fails.
inline double TimeCommand(const std::string& command, int runs) {
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        const double start = Seconds();
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "command failed: %s\n", command.c_str());
            std::exit(1);
        }
        best = std::min(best, Seconds() - start);
    }
    return best;
}

inline long ResidentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (::sysconf(_SC_PAGESIZE) / 1024);
}

// Prints one figure per line: name, value, unit.
inline void Figure(const char* name, double value, const char* unit) {
    std::printf("%-28s %12.3f %s\n", name, value, unit);
    std::fflush(stdout);
}
