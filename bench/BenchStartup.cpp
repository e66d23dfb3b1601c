// The whole program started on a file until its text is first painted: wall time of the process from
// its start, and its resident memory then, for a 1 KB and a 1 GB mail text (`head` showing the first
// screenful of the same file for scale). The program runs on the platform QT_QPA_PLATFORM names, or
// offscreen. Usage: bench_startup [runs, default 7]

#include <algorithm>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

#include "BenchTools.h"
#include "MailText.h"

extern char** environ;

namespace {

struct TStart {
    double Seconds;
    long ResidentKiB;
};

// Starts the program on `file` and waits for its report of the first painted frame.
TStart StartProgram(const std::string& file) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::exit(1);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(QUORVEL_PROGRAM), const_cast<char*>(file.c_str()), nullptr};
    const double start = Seconds();
    pid_t child = 0;
    if (posix_spawn(&child, QUORVEL_PROGRAM, &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", QUORVEL_PROGRAM);
        std::exit(1);
    }
    ::close(pipeEnds[1]);
    char line[64] = {};
    const ssize_t got = ::read(pipeEnds[0], line, sizeof line - 1);
    const double seconds = Seconds() - start;
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    posix_spawn_file_actions_destroy(&actions);
    if (got <= 0) {
        std::fprintf(stderr, "the program did not report its first frame\n");
        std::exit(1);
    }
    return {seconds, std::atol(line)};
}

void Measure(const char* name, const std::filesystem::path& file, int runs) {
    std::vector<TStart> starts;
    for (int i = 0; i < runs; ++i)
        starts.push_back(StartProgram(file.string()));
    std::sort(starts.begin(), starts.end(), [](TStart a, TStart b) { return a.Seconds < b.Seconds; });
    std::printf("== %s\n", name);
    Figure("first paint, best", starts.front().Seconds * 1e3, "ms");
    Figure("first paint, median", starts[starts.size() / 2].Seconds * 1e3, "ms");
    Figure("resident then, median", starts[starts.size() / 2].ResidentKiB / 1024.0, "MB");
    Figure("head -n 60, best", TimeCommand("head -n 60 '" + file.string() + "' >/dev/null", runs) * 1e3,
           "ms");
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    ::setenv("QUORVEL_FIRST_PAINT_REPORT", "1", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::printf("platform: %s\n", std::getenv("QT_QPA_PLATFORM"));
    const auto small = MailTextFile(1024);
    const auto large = MailTextFile(TTextPos{1} << 30);
    StartProgram(small.string()); // the program and its libraries into the page cache
    Measure("1 KB mail text", small, runs);
    Measure("1 GB mail text", large, runs);
}
