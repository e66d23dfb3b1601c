// Saving a sparse file: every way a save writes (a new file renamed over the old one, the file itself
// for a hard-linked one, and a copy through memory where the kernel cannot copy between the two files)
// gives back the same bytes and keeps the holes.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include "TestFiles.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

constexpr TTextPos kHole = 8 << 20;

// "head", a hole, "middle", a hole, "tail", and a hole to the file's end.
std::string MakeSparse(const fs::path& file) {
    const std::string head = "head of the file\n", middle = "middle\n", tail = "tail\n";
    const int handle = ::open(file.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    EXPECT_GE(handle, 0);
    std::string bytes = head + std::string(kHole, '\0') + middle + std::string(kHole, '\0') + tail;
    ::pwrite(handle, head.data(), head.size(), 0);
    ::pwrite(handle, middle.data(), middle.size(), static_cast<off_t>(head.size() + kHole));
    ::pwrite(handle, tail.data(), tail.size(), static_cast<off_t>(bytes.size() - tail.size()));
    bytes += std::string(kHole, '\0');
    EXPECT_EQ(::ftruncate(handle, static_cast<off_t>(bytes.size())), 0);
    ::close(handle);
    return bytes;
}

TTextPos Allocated(const fs::path& file) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    return static_cast<TTextPos>(info.st_blocks) * 512;
}

// Opens `file`, types at its start and in the middle of its first hole, and saves it as `target`.
std::string EditAndSave(const fs::path& file, const fs::path& target, std::string bytes) {
    TEditStream text;
    TDocumentFile doc(text);
    doc.SetSaveMode(TSaveMode::smParagraph);
    doc.SetFileName(file);
    text.InsertString("NEW ", 0);
    text.InsertString("HOLE PUNCHED", kHole / 2);
    doc.Save(target);
    EXPECT_EQ(text.GetText(0, text.TextSize()), ReadFile(target)) << "the text is bound to what was written";
    bytes.insert(0, "NEW ");
    bytes.insert(kHole / 2, "HOLE PUNCHED");
    return bytes;
}

TEST(SparseSave, ReplacingTheFileKeepsItsHoles) {
    TTempDir dir;
    const fs::path file = dir / "sparse.txt";
    const std::string old = MakeSparse(file);
    const std::string expected = EditAndSave(file, file, old);
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_EQ(ReadFile(dir / "sparse.BAK"), old);
    EXPECT_LT(Allocated(file), 1 << 20) << "the holes were written out";
}

TEST(SparseSave, WritingIntoAHardLinkedFileKeepsItsHoles) {
    TTempDir dir;
    const fs::path file = dir / "linked.txt";
    const std::string old = MakeSparse(file);
    fs::create_hard_link(file, dir / "other.txt");
    const std::string expected = EditAndSave(file, file, old);
    EXPECT_EQ(ReadFile(file), expected);
    EXPECT_EQ(ReadFile(dir / "other.txt"), expected);
    EXPECT_EQ(ReadFile(dir / "linked.BAK"), old);
    EXPECT_LT(Allocated(file), 1 << 20) << "the old bytes under the moved holes were not punched out";
    EXPECT_LT(Allocated(dir / "linked.BAK"), 1 << 20);
}

// The kernel copies between files of one file system only: a file saved onto another goes through
// memory, and keeps its holes all the same.
TEST(SparseSave, ACopyBetweenFileSystemsKeepsItsHoles) {
    struct statfs shm {
    }, tmp{};
    const fs::path shmRoot = "/dev/shm";
    TTempDir dir;
    if (::statfs(shmRoot.c_str(), &shm) != 0 || ::statfs((dir / "").c_str(), &tmp) != 0 ||
        shm.f_type == tmp.f_type || ::access(shmRoot.c_str(), W_OK) != 0)
        GTEST_SKIP() << "no second file system to save onto";
    const fs::path source = shmRoot / ("quorvel-sparse-" + std::to_string(::getpid()) + ".txt");
    const std::string old = MakeSparse(source);
    const std::string expected = EditAndSave(source, dir / "copy.txt", old);
    fs::remove(source);
    EXPECT_EQ(ReadFile(dir / "copy.txt"), expected);
    EXPECT_LT(Allocated(dir / "copy.txt"), 1 << 20);
}

} // namespace
