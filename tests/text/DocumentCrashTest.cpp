#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "TestDocument.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// Numbered lines up to `size` bytes: no two places of the file alike.
std::string OldText(size_t size) {
    std::string old;
    while (old.size() < size)
        old += "line " + std::to_string(old.size()) + " of the old text\n";
    return old;
}

// A child process that opens `file`, adds a line at its start and one in its middle and saves it in
// place, after `arm` set up how it dies.
pid_t EditAndSaveInChild(const fs::path& file, const std::function<void(TDocumentFile&)>& arm) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    TTestDocument d;
    arm(d.doc);
    d.doc.SetFileName(file);
    d.text.InsertString("NEW HEAD\n", 0);
    d.text.InsertString("NEW MIDDLE\n", d.text.TextSize() / 2);
    d.doc.Save(file);
    ::_exit(0);
}

// Saves `file` in a child process `runs` times, after `prepare` wrote the old text: killed right after
// each step of the save in the first runs (a fast machine saves before any random moment), then at a
// random moment below `maxDelay` microseconds. After each, the file holds the old or the new text whole,
// and the backup, when there is one, the old text; `after` checks what else a run must keep.
void KillSaves(const fs::path& file, const std::string& old, const std::string& expected, int runs,
               unsigned seed, unsigned maxDelay, const std::function<void()>& prepare,
               const std::function<void(int)>& after = {}) {
    const fs::path backup = fs::path(file).replace_extension(".BAK");
    std::mt19937 random(seed);
    int sawOld = 0, sawNew = 0;
    for (int run = 0; run < runs; ++run) {
        prepare();
        fs::remove(backup);
        const int killAt = run < 4 ? run : 99;
        const pid_t child = EditAndSaveInChild(file, [killAt](TDocumentFile& doc) {
            doc.OnSaveStep = [killAt](TSaveStep step) {
                if (static_cast<int>(step) == killAt) ::raise(SIGKILL);
            };
        });
        if (killAt == 99) {
            ::usleep(random() % maxDelay);
            ::kill(child, SIGKILL);
        }
        ::waitpid(child, nullptr, 0);
        const std::string now = ReadFile(file);
        ASSERT_TRUE(now == old || now == expected)
            << "run " << run << ": a torn file of " << now.size() << " bytes";
        (now == old ? sawOld : sawNew) += 1;
        if (fs::exists(backup)) {
            ASSERT_EQ(ReadFile(backup), old) << "run " << run;
        }
        if (after) after(run);
    }
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);
}

// A save killed at any moment, or right after any of its steps, leaves under the file's name either the
// old text or the new one, whole, and under the backup name, when there is one, the old text.
TEST(DocumentCrash, AKilledSaveLeavesTheOldOrTheNewTextWhole) {
    TTempDir dir;
    const std::string old = OldText(6u << 20);
    std::string expected = "NEW HEAD\n" + old;
    expected.insert(expected.size() / 2, "NEW MIDDLE\n");
    const fs::path file = dir / "big.txt";
    KillSaves(file, old, expected, 24, 5, 120000, [&] {
        WriteFile(file, old);
        fs::remove(dir / "big.$$$");
    });
}

// The same with a sparse file, whose holes the save copies as holes: whatever moment the save dies at,
// the file reads back as the old or the new text, and the new one keeps the holes.
TEST(DocumentCrash, AKilledSaveOfASparseFileLeavesTheOldOrTheNewTextWhole) {
    TTempDir dir;
    const std::string head(1 << 20, 'h'), tail = "tail\n";
    const TTextPos hole = 32 << 20;
    const std::string old = head + std::string(hole, '\0') + tail;
    std::string expected = old;
    expected.insert(0, "NEW HEAD\n");
    expected.insert(expected.size() / 2, "NEW MIDDLE\n"); // inside the hole
    const fs::path file = dir / "sparse.txt";
    const auto writeSparse = [&] {
        const int handle = ::open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
        ASSERT_GE(handle, 0);
        ASSERT_EQ(::pwrite(handle, head.data(), head.size(), 0), static_cast<ssize_t>(head.size()));
        ASSERT_EQ(::pwrite(handle, tail.data(), tail.size(), static_cast<off_t>(head.size() + hole)), 5);
        ::close(handle);
    };
    KillSaves(file, old, expected, 16, 9, 40000, writeSparse, [&file](int run) {
        struct stat info {};
        ::stat(file.c_str(), &info);
        EXPECT_LT(info.st_blocks * 512, 4 << 20) << "run " << run << ": the holes were written out";
    });
}

// A file with two links is written in place; a save killed while it writes leaves the backup, a copy
// made before, holding the old text whole, and both names showing one file.
TEST(DocumentCrash, AKilledInPlaceSaveLeavesTheBackupWhole) {
    TTempDir dir;
    const std::string old = OldText(4u << 20);
    const fs::path file = dir / "linked.txt";
    for (const double killAt : {0.0, 0.25, 0.5, 0.9}) {
        SCOPED_TRACE("killed at " + std::to_string(killAt));
        fs::remove(dir / "other.txt");
        fs::remove(dir / "linked.BAK");
        WriteFile(file, old);
        fs::create_hard_link(file, dir / "other.txt");
        const pid_t child = EditAndSaveInChild(file, [killAt](TDocumentFile& doc) {
            doc.SetSaveMode(TSaveMode::smLineBreaks); // which asks for progress while it writes
            doc.OnProgress = [killAt](TTextPos done, TTextPos total) {
                if (done >= killAt * total) ::raise(SIGKILL);
                return false;
            };
        });
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(ReadFile(dir / "linked.BAK"), old);
        EXPECT_EQ(ReadFile(dir / "other.txt"), ReadFile(file));
        // Past the first megabyte written, the file is torn: the case the backup is for.
        if (killAt >= 0.5) {
            EXPECT_EQ(ReadFile(file).substr(0, 9), "NEW HEAD\n");
        }
    }
}

} // namespace
