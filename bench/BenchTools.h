#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

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

// Wall time of one run of a shell command; exits when the command fails.
inline double RunCommand(const std::string& command) {
    return TimeCommand(command, 1);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The medians of a standard tool's time and of the program's own time for the same work, each run
// alternately three times, so that a swing of the machine's load falls on both.
struct TComparison {
    double Peer = 0, Ours = 0;
    double Ratio() const { return Ours / Peer; }
};

inline TComparison Alternate(const std::function<double()>& peer, const std::function<double()>& ours,
                             int rounds = 3) {
    std::vector<double> peers, own;
    for (int i = 0; i < rounds; ++i) {
        peers.push_back(peer());
        own.push_back(ours());
    }
    return {Median(peers), Median(own)};
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

// Prints a comparison in milliseconds: the program's median, the tool's and their ratio.
inline void Compare(const char* name, const char* peer, const TComparison& c, const char* target) {
    Figure(name, c.Ours * 1e3, "ms (median of 3)");
    Figure((std::string("  ") + peer).c_str(), c.Peer * 1e3, "ms (median of 3, run alternately)");
    Figure((std::string("  time vs ") + peer).c_str(), c.Ratio(), target);
}
