#include "mail/QvRun.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fstream>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::atomic<unsigned> g_TempCounter{1};

// Puts the remembered current directory back however the caller leaves.
class TCurrentDirectoryGuard {
public:
    TCurrentDirectoryGuard() : m_Saved(fs::current_path()) {}
    ~TCurrentDirectoryGuard() {
        std::error_code ignored;
        fs::current_path(m_Saved, ignored);
    }
    const fs::path& Saved() const { return m_Saved; }

private:
    fs::path m_Saved;
};

fs::path ProgramDirectory() {
    std::error_code error;
    const fs::path program = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : program.parent_path();
}

} // namespace

fs::path MakeTempName(const std::string& prefix) {
    char name[32];
    std::snprintf(name, sizeof name, "%.3s%04X.TMP", prefix.c_str(), g_TempCounter++);
    return fs::temp_directory_path() / name;
}

fs::path ShortName(const fs::path& path) { return path; }

std::string ShellQuote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::optional<std::string> SubstituteToolNames(const std::string& command, const fs::path& archive,
                                               const fs::path& file) {
    std::string line = command;
    const size_t z = line.find("&Z");
    if (z == std::string::npos) return std::nullopt;
    line.replace(z, 2, ShellQuote(archive.string()));
    const size_t f = line.find("&F");
    if (f == std::string::npos) return std::nullopt;
    line.replace(f, 2, ShellQuote(ShortName(file).string()));
    return line;
}

bool RunTool(const std::string& command, const std::function<bool()>& keepWaiting) {
    TCurrentDirectoryGuard current;
    std::error_code ignored;
    if (const fs::path own = ProgramDirectory(); !own.empty()) fs::current_path(own, ignored);
    {
        std::ofstream commandFile(MakeTempName("QVT"), std::ios::binary);
        commandFile << "-2\r\n" << ShortName(current.Saved()).string() << "\r\n" << command << "\r\n";
    }
    // No runner program here: the command runs in the caller's directory and its status decides. It
    // leads a process group of its own, so that stopping it stops whatever it started.
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        ::setpgid(0, 0);
        if (::chdir(current.Saved().c_str()) == 0) ::execl("/bin/sh", "sh", "-c", command.c_str(), nullptr);
        ::_exit(127);
    }
    ::setpgid(child, child);
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(child, &status, keepWaiting ? WNOHANG : 0);
        if (done == child) break;
        if (done < 0 && errno != EINTR) return false;
        if (done == 0 && !keepWaiting()) {
            ::kill(-child, SIGTERM);
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
            return false;
        }
        if (done == 0) ::usleep(10 * 1000);
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
