// The whole program started on a file until its text is first painted: wall time of the process from
// its start, and its resident memory then, for a 1 KB and a 1 GB mail text, and for the 1 KB text with
// a settings store full of values and ten recent files (`head` showing the first screenful of the same
// file for scale). Then the hand-off: a second `quorvel FILE` started beside a running instance, from
// its start until the running one has painted FILE, and until the second process has ended. The
// programs run on the platform QT_QPA_PLATFORM names, or offscreen, with settings and runtime folders
// of their own. Usage: bench_startup [runs, default 7]

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <vector>

#include "BenchTools.h"
#include "MailText.h"

extern char** environ;

namespace fs = std::filesystem;

namespace {

struct TStart {
    double Seconds;
    long ResidentKiB;
};

// Starts the program on `file`, its output to `out` (or nowhere); its process id.
pid_t Spawn(const std::string& file, int out) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char* argv[] = {const_cast<char*>(QUORVEL_PROGRAM), const_cast<char*>(file.c_str()), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, QUORVEL_PROGRAM, &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", QUORVEL_PROGRAM);
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return child;
}

// The first number of the next report line on `pipe`; exits when none comes.
long ReadReport(int pipe) {
    char line[64] = {};
    size_t got = 0;
    while (got < sizeof line - 1 && (got == 0 || line[got - 1] != '\n')) {
        if (::read(pipe, line + got, 1) != 1) {
            std::fprintf(stderr, "the program did not report a painted text\n");
            std::exit(1);
        }
        ++got;
    }
    return std::atol(line);
}

// Starts the program on `file` and waits for its report of the first painted frame.
TStart StartProgram(const std::string& file) {
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::exit(1);
    const double start = Seconds();
    const pid_t child = Spawn(file, pipeEnds[1]);
    ::close(pipeEnds[1]);
    const long resident = ReadReport(pipeEnds[0]);
    const double seconds = Seconds() - start;
    ::close(pipeEnds[0]);
    ::waitpid(child, nullptr, 0);
    return {seconds, resident};
}

void Measure(const char* name, const fs::path& file, int runs) {
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

void WriteText(const fs::path& name, const std::string& text) {
    std::FILE* file = std::fopen(name.c_str(), "wb");
    std::fwrite(text.data(), 1, text.size(), file);
    std::fclose(file);
}

// A store as a user's grows: every editor value, tab stops, a changed key, Quick Jump folders and ten
// recent files.
void PopulateSettings(const fs::path& folder, const fs::path& recentFolder) {
    std::string text = "[File History]\nFileListCount=10\nMaxFilesOnList=10\n";
    for (int i = 1; i <= 10; ++i) {
        const fs::path recent = recentFolder / ("recent-" + std::to_string(i) + ".txt");
        WriteText(recent, "a recent file\n");
        text += "FileList" + std::to_string(i) + "=" + recent.string() + "\n";
    }
    text +=
        "[Editor]\nState=0\nTop=40\nLeft=60\nHeight=600\nWidth=800\nDir=/tmp\nSaveDir=/tmp\nMergeDir=/tmp\n"
        "StartUp=0\nUseSaveDir=1\nBlockReplaceStr=--\nNewLook=1\nWrap=2\nMaxLineLength=72\nSaveOption=1\n"
        "Font=DejaVu Sans Mono,-15,11,0,0\nMaxUndo=50\nWPMode=1\nBreaks=1\nHorz=1\nVert=1\nPageBreak=2\n"
        "LineNumMode=1\nBackupMode=1\nFileLocking=1\nLeftMargin=12\nRightMargin=12\nAutoScroll=1\n"
        "PasteSelect=1\nDoubleClickMode=1\nTripleClick=1\nPagingMode=1\n"
        "[Printer]\nTop=0.75\nBottom=1.00\nLeft=0.50\nRight=0.50\nHeader=0.25\nFooter=0.25\n"
        "[Tabs]\nCount=8\n";
    for (int i = 1; i <= 8; ++i)
        text += "Tab" + std::to_string(i) + "=" + std::to_string(i) + ".00\n";
    text += "[Keys]\nCopyKey=331\n[QuickList]\nCount=5\n";
    for (int i = 1; i <= 5; ++i)
        text += "Name" + std::to_string(i) + "=/home/user/folder" + std::to_string(i) + "\n";
    fs::create_directories(folder);
    WriteText(folder / "Version1.0.ini", text);
}

bool Listening(const fs::path& socketName) {
    const int handle = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", socketName.c_str());
    const bool connected = ::connect(handle, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(handle);
    return connected;
}

// A running instance, then `runs` second starts each handing it a file of its own.
void MeasureHandOff(const fs::path& small, const fs::path& work, int runs) {
    ::setenv("QUORVEL_HANDOFF_REPORT", "1", 1);
    ::unsetenv("QUORVEL_FIRST_PAINT_REPORT");
    int pipeEnds[2];
    if (::pipe(pipeEnds) != 0) std::exit(1);
    const pid_t receiver = Spawn(small.string(), pipeEnds[1]);
    ::close(pipeEnds[1]);
    const fs::path socketName = fs::path(std::getenv("XDG_RUNTIME_DIR")) / "quorvel" / "socket";
    for (int wait = 0; !Listening(socketName); ++wait) {
        if (wait > 1000) {
            std::fprintf(stderr, "the first instance does not listen\n");
            std::exit(1);
        }
        ::usleep(10000);
    }
    std::vector<double> shown, ended;
    for (int i = 0; i < runs; ++i) {
        const fs::path file = work / ("handed-" + std::to_string(i) + ".txt");
        fs::copy_file(small, file, fs::copy_options::overwrite_existing);
        const double start = Seconds();
        const pid_t sender = Spawn(file.string(), -1);
        ReadReport(pipeEnds[0]);
        shown.push_back(Seconds() - start);
        ::waitpid(sender, nullptr, 0);
        ended.push_back(Seconds() - start);
    }
    ::kill(receiver, SIGTERM);
    ::waitpid(receiver, nullptr, 0);
    ::close(pipeEnds[0]);
    std::sort(shown.begin(), shown.end());
    std::sort(ended.begin(), ended.end());
    std::printf("== hand-off of a 1 KB mail text to a running instance\n");
    Figure("shown there, best", shown.front() * 1e3, "ms");
    Figure("shown there, median", shown[shown.size() / 2] * 1e3, "ms");
    Figure("second process ended, median", ended[ended.size() / 2] * 1e3, "ms");
    Figure("head -n 60, best", TimeCommand("head -n 60 '" + small.string() + "' >/dev/null", runs) * 1e3,
           "ms");
}

} // namespace

int main(int argc, char* argv[]) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    ::setenv("QUORVEL_FIRST_PAINT_REPORT", "1", 1);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    std::printf("platform: %s\n", std::getenv("QT_QPA_PLATFORM"));
    // The user's own settings and running instance are never touched.
    std::string pattern = (fs::temp_directory_path() / "quorvel-bench-XXXXXX").string();
    const fs::path work = ::mkdtemp(pattern.data());
    fs::create_directory(work / "runtime");
    fs::permissions(work / "runtime", fs::perms::owner_all);
    ::setenv("XDG_CONFIG_HOME", (work / "config").c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", (work / "runtime").c_str(), 1);
    const auto small = MailTextFile(1024);
    const auto large = MailTextFile(TTextPos{1} << 30);
    StartProgram(small.string()); // the program and its libraries into the page cache
    Measure("1 KB mail text", small, runs);
    Measure("1 GB mail text", large, runs);
    fs::remove_all(work / "config");
    PopulateSettings(work / "config" / "Tarvane Software" / "Quorvel", work);
    Measure("1 KB mail text, settings with 10 recent files", small, runs);
    MeasureHandOff(small, work, runs);
    fs::remove_all(work);
}
