// Saves under file-system trouble, on real files: odd names, other users' files, links, read-only and
// shared directories, files changed behind the editor, and a second editor waiting for the lock.

#include <algorithm>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include "ErrorOf.h"
#include "OtherUsers.h"
#include "TestDocument.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

struct stat Stat(const fs::path& path) {
    struct stat info {};
    ::lstat(path.c_str(), &info);
    return info;
}

std::vector<std::string> Names(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Every extended attribute of a file (ACLs included), name and value.
std::map<std::string, std::string> Attributes(const fs::path& path) {
    std::map<std::string, std::string> result;
    char list[4096];
    const ssize_t size = ::listxattr(path.c_str(), list, sizeof list);
    for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(list + at)) + 1) {
        char value[4096];
        const ssize_t n = ::getxattr(path.c_str(), list + at, value, sizeof value);
        result[list + at] = std::string(value, static_cast<size_t>(std::max<ssize_t>(n, 0)));
    }
    return result;
}

#define SKIP_UNLESS_ROOT()                                                                                   \
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as other users"

TEST(SafeSave, FilesNamedLikeTheirBackupOrTemporaryFileKeepTheirText) {
    TTempDir dir;
    WriteFile(dir / "notes.BAK", "old");
    TTestDocument bak;
    EXPECT_EQ(bak.EditAndSave(dir / "notes.BAK", "new "), "");
    EXPECT_EQ(ReadFile(dir / "notes.BAK"), "new old");
    EXPECT_EQ(ReadFile(dir / "notes.BAK.BAK"), "old") << "the backup gets \".BAK\" appended";
    EXPECT_EQ(bak.doc.FileName(), dir / "notes.BAK");
    EXPECT_FALSE(bak.text.Modified());

    std::string old;
    while (old.size() < 100000)
        old += "line " + std::to_string(old.size()) + "\n";
    WriteFile(dir / "mail.$$$", old);
    TTestDocument temp;
    EXPECT_EQ(temp.EditAndSave(dir / "mail.$$$", "new\n"), "");
    EXPECT_EQ(ReadFile(dir / "mail.$$$"), "new\n" + old);
    EXPECT_EQ(ReadFile(dir / "mail.BAK"), old);
    EXPECT_EQ(Names(dir / ""),
              (std::vector<std::string>{"mail.$$$", "mail.BAK", "notes.BAK", "notes.BAK.BAK"}));
}

TEST(SafeSave, TheSaveTouchesNoFileItDidNotMake) {
    TTempDir dir;
    WriteFile(dir / "notes.txt", "old");
    WriteFile(dir / "notes.$$$", "someone else's");
    TTestDocument d;
    EXPECT_EQ(d.EditAndSave(dir / "notes.txt", "new "), "");
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "new old");
    EXPECT_EQ(ReadFile(dir / "notes.$$$"), "someone else's");

    fs::remove(dir / "notes.$$$");
    WriteFile(dir / "victim", "never written");
    fs::create_symlink(dir / "victim", dir / "notes.$$$");
    d.text.InsertString("newer ", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "newer new old");
    EXPECT_EQ(ReadFile(dir / "victim"), "never written");
    EXPECT_TRUE(fs::is_symlink(dir / "notes.$$$"));
    EXPECT_EQ(Names(dir / ""), (std::vector<std::string>{"notes.$$$", "notes.BAK", "notes.txt", "victim"}));
}

// Root saving another user's file, which has an ACL, an extended attribute and set-ID bits.
TEST(SafeSave, RootKeepsOwnerGroupModeAclAndAttributes) {
    SKIP_UNLESS_ROOT();
    TTempDir dir;
    const fs::path file = dir / "alice.txt";
    WriteFile(file, "alice's text");
    ASSERT_EQ(::chown(file.c_str(), kAlice, kStaff), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    ASSERT_EQ(std::system(("setfacl -m u:4302:rw " + file.string()).c_str()), 0) << "setfacl (package acl)";
    ASSERT_EQ(::setxattr(file.c_str(), "user.origin", "mail", 4, 0), 0);
    const auto attributes = Attributes(file);
    ASSERT_EQ(attributes.count("system.posix_acl_access"), 1u);
    const struct stat before = Stat(file);
    TTestDocument d;
    EXPECT_EQ(d.EditAndSave(file, "root's edit, "), "");
    EXPECT_EQ(ReadFile(file), "root's edit, alice's text");
    const struct stat after = Stat(file);
    EXPECT_EQ(after.st_uid, kAlice);
    EXPECT_EQ(after.st_gid, kStaff);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(Attributes(file), attributes);
    EXPECT_EQ(Stat(dir / "alice.BAK").st_ino, before.st_ino) << "the backup is the old file itself";

    ASSERT_EQ(::chmod(file.c_str(), 06755), 0);
    EXPECT_EQ(d.EditAndSave(file, "again "), "");
    EXPECT_EQ(Stat(file).st_mode & 07777, 06755u) << "set-ID bits stay where the owner stays";
    EXPECT_EQ(Stat(file).st_uid, kAlice);
}

// A group member may write alice's file but may not give a new one to alice: the text goes into the
// file itself, after a backup copy, and the kernel drops set-ID bits as on any write by another user.
TEST(SafeSave, AGroupMemberWritesIntoTheFileItself) {
    SKIP_UNLESS_ROOT();
    TTempDir dir;
    ::chmod((dir / "").c_str(), 0777);
    const fs::path file = dir / "shared.txt", tool = dir / "tool.sh";
    WriteFile(file, "alice's text");
    WriteFile(tool, "#!/bin/sh\n");
    for (const auto& [path, mode] : {std::pair{file, 0664}, std::pair{tool, 06775}}) {
        ASSERT_EQ(::chown(path.c_str(), kAlice, kStaff), 0);
        ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    }
    const ino_t inode = Stat(file).st_ino;
    TReport report = AsUser(kBob, kBobGroup, {kStaff}, [&] {
        TTestDocument d;
        TReport r{{"save", d.EditAndSave(file, "bob's edit, ")}, {"text", d.Text()}};
        r["tool"] = TTestDocument().EditAndSave(tool, "echo bob\n");
        return r;
    });
    EXPECT_EQ(report["save"], "");
    EXPECT_EQ(report["text"], "bob's edit, alice's text");
    EXPECT_EQ(ReadFile(file), "bob's edit, alice's text");
    const struct stat after = Stat(file);
    EXPECT_EQ(after.st_uid, kAlice);
    EXPECT_EQ(after.st_gid, kStaff);
    EXPECT_EQ(after.st_mode & 07777, 0664u);
    EXPECT_EQ(after.st_ino, inode);
    EXPECT_EQ(ReadFile(dir / "shared.BAK"), "alice's text");
    EXPECT_NE(Stat(dir / "shared.BAK").st_ino, inode) << "a copy, not a link";
    EXPECT_EQ(Stat(dir / "shared.BAK").st_mode & 0077, 0064u) << "readable as the file was";

    EXPECT_EQ(report["tool"], "");
    EXPECT_EQ(ReadFile(tool), "echo bob\n#!/bin/sh\n");
    EXPECT_EQ(Stat(tool).st_uid, kAlice) << "never a set-user-ID program of bob's";
    EXPECT_EQ(Stat(tool).st_mode & 06000, 0u);
    EXPECT_EQ(Stat(dir / "tool.BAK").st_mode & 06000, 0u);
}

TEST(SafeSave, AHardLinkedFileIsWrittenInPlaceForEveryName) {
    TTempDir dir;
    WriteFile(dir / "a.txt", "linked text");
    fs::create_hard_link(dir / "a.txt", dir / "b.txt");
    TTestDocument d;
    EXPECT_EQ(d.EditAndSave(dir / "a.txt", "new "), "");
    EXPECT_EQ(ReadFile(dir / "a.txt"), "new linked text");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "new linked text");
    EXPECT_EQ(Stat(dir / "a.txt").st_nlink, 2u);
    EXPECT_EQ(ReadFile(dir / "a.BAK"), "linked text");
    EXPECT_EQ(Stat(dir / "a.BAK").st_nlink, 1u) << "a copy, not a third link";
    EXPECT_EQ(d.Text(), "new linked text");
    d.text.InsertString("newer ", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "b.txt"), "newer new linked text");
    EXPECT_EQ(ReadFile(dir / "a.BAK"), "new linked text");
}

// Where no backup can be written beside the file, the user is asked first; no answer writes nothing.
TEST(SafeSave, AFileInAReadOnlyDirectoryIsSavedAfterAsking) {
    SKIP_UNLESS_ROOT();
    TTempDir dir;
    const fs::path file = dir / "ro-dir" / "notes.txt";
    fs::create_directory(file.parent_path());
    WriteFile(file, "old");
    ::chmod((dir / "").c_str(), 0755);
    for (const fs::path& path : {file, file.parent_path()})
        ASSERT_EQ(::chown(path.c_str(), kAlice, kAliceGroup), 0);
    ::chmod(file.parent_path().c_str(), 0555);
    TReport report = AsUser(kAlice, kAliceGroup, {}, [&] {
        TTestDocument d;
        TReport r{{"unanswered", d.EditAndSave(file, "new ")}};
        r["unanswered file"] = ReadFile(file);
        d.answer = TModalResult::mrYes;
        d.doc.Save(d.doc.FileName());
        r["question"] = d.asked.back();
        r["no backup"] = d.kinds.back() == TDocumentQuestion::dqNoBackup ? "yes" : "no";
        r["text"] = d.Text();
        r["modified"] = d.text.Modified() ? "yes" : "no";
        return r;
    });
    EXPECT_EQ(report["unanswered"], "");
    EXPECT_EQ(report["unanswered file"], "old");
    EXPECT_EQ(report["no backup"], "yes");
    EXPECT_NE(report["question"].find(file.string()), std::string::npos) << report["question"];
    EXPECT_NE(report["question"].find("without a backup"), std::string::npos) << report["question"];
    EXPECT_EQ(report["modified"], "no");
    EXPECT_EQ(report["text"], "new old");
    EXPECT_EQ(ReadFile(file), "new old");
    EXPECT_EQ(Names(file.parent_path()), std::vector<std::string>{"notes.txt"});
}

// In a sticky directory only a name's owner may replace it: the saver's backup must not stay there when
// the save fails, or the file's owner could not write a backup of her own later.
TEST(SafeSave, AFailedSaveInAStickyDirectoryLeavesNoBackupOfTheSavers) {
    SKIP_UNLESS_ROOT();
    TTempDir dir;
    ::chmod((dir / "").c_str(), 01777);
    const fs::path file = dir / "board.txt";
    WriteFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kAlice, kStaff), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    TReport report = AsUser(kBob, kBobGroup, {kStaff}, [&] {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64}; // the file cannot grow past 64 bytes: the write fails midway
        ::setrlimit(RLIMIT_FSIZE, &limit);
        TTestDocument d;
        return TReport{{"save", d.EditAndSave(file, std::string(100, 'x'))}};
    });
    EXPECT_NE(report["save"].find("board.txt"), std::string::npos) << report["save"];
    EXPECT_NE(report["save"].find("holds its old text again"), std::string::npos) << report["save"];
    EXPECT_NE(report["save"].find("backup was removed"), std::string::npos) << report["save"];
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(Stat(file).st_uid, kAlice);
    EXPECT_EQ(Names(dir / ""), std::vector<std::string>{"board.txt"});

    // Alice's own backup there cannot be replaced by bob: he is told why and asked.
    WriteFile(dir / "board.BAK", "alice's backup");
    ASSERT_EQ(::chown((dir / "board.BAK").c_str(), kAlice, kStaff), 0);
    report = AsUser(kBob, kBobGroup, {kStaff}, [&] {
        TTestDocument d;
        TReport r{{"save", d.EditAndSave(file, "bob ")}};
        r["question"] = d.asked.empty() ? "" : d.asked[0];
        return r;
    });
    EXPECT_EQ(report["save"], "");
    EXPECT_NE(report["question"].find("belongs to another user"), std::string::npos) << report["question"];
    EXPECT_EQ(ReadFile(file), "old");
    EXPECT_EQ(ReadFile(dir / "board.BAK"), "alice's backup");
    EXPECT_EQ(Names(dir / ""), (std::vector<std::string>{"board.BAK", "board.txt"}));
}

// Rewritten, cut, appended to, replaced or deleted at random, the file is checked by the adversary test;
// here are the questions and messages and what each answer does, and a file renamed away.
TEST(SafeSave, AFileChangedBehindTheEditorIsNeverOverwrittenWithAMix) {
    TTempDir dir;
    const fs::path file = dir / "news.txt";
    const auto reopen = [&](TTestDocument& d, const std::string& text) {
        WriteFile(file, text);
        d.text.SetModified(false);
        d.doc.SetFileName(file);
        EXPECT_EQ(d.doc.Identity(), TFileIdentity::At(file));
        d.text.InsertString("mine ", 0);
    };
    TTestDocument d;
    reopen(d, "old text");
    std::ofstream(file, std::ios::binary | std::ios::app) << "\nappended";
    EXPECT_NE(ErrorOf<ESaveError>([&] { d.doc.Save(file); }).find("another program changed"),
              std::string::npos)
        << "saved over appended lines";
    EXPECT_EQ(ReadFile(file), "old text\nappended");

    // Replaced by rename: the text here is whole, and the user decides.
    reopen(d, "old text");
    WriteFile(dir / "new", "their text");
    fs::rename(dir / "new", file);
    d.answer = TModalResult::mrCancel;
    d.doc.Save(file);
    EXPECT_EQ(ReadFile(file), "their text");
    EXPECT_TRUE(d.text.Modified());
    ASSERT_EQ(d.asked.size(), 1u);
    EXPECT_NE(d.asked[0].find("changed by another program"), std::string::npos);
    d.answer = TModalResult::mrNo;
    d.doc.Save(file);
    EXPECT_EQ(d.elsewhere, 1) << "No saves elsewhere";
    EXPECT_EQ(ReadFile(file), "their text");
    const auto ask = std::exchange(d.doc.OnQuestion, nullptr);
    d.doc.Save(file);
    EXPECT_EQ(ReadFile(file), "their text") << "no one to ask: nothing written";
    d.doc.OnQuestion = ask;
    d.answer = TModalResult::mrYes;
    d.doc.Save(file);
    EXPECT_EQ(ReadFile(file), "mine old text");
    EXPECT_EQ(ReadFile(dir / "news.BAK"), "their text");
    EXPECT_FALSE(d.text.Modified());
    EXPECT_EQ(d.doc.Identity(), TFileIdentity::At(file));

    // Renamed away: saved anew under its name from the text still open, without asking, and never into
    // the file under its new name.
    d.answer = TModalResult::mrCancel;
    reopen(d, "old text");
    fs::rename(file, dir / "moved.txt");
    d.doc.Save(file);
    EXPECT_EQ(ReadFile(file), "mine old text");
    EXPECT_EQ(ReadFile(dir / "moved.txt"), "old text");
    EXPECT_FALSE(d.text.Modified());
}

// Another editor (another process alike: locks belong to open files) never gets the file mid-save.
TEST(SafeSave, TheFileStaysLockedThroughEverySaveStep) {
    TTempDir dir;
    WriteFile(dir / "held.txt", "held");
    TTestDocument d;
    std::vector<TSaveStep> opened;
    int steps = 0;
    d.doc.OnSaveStep = [&](TSaveStep step) {
        ++steps;
        TTestDocument second;
        try {
            second.doc.SetFileName(dir / "held.txt");
            opened.push_back(step);
        } catch (const EFOpenError&) {
        }
    };
    EXPECT_EQ(d.EditAndSave(dir / "held.txt", "new "), "");
    EXPECT_GE(steps, 3);
    EXPECT_TRUE(opened.empty()) << "opened by a second editor at step " << static_cast<int>(opened[0]);
}

// Bob may write alice's file (mode 0066) but not read a file of his own with that mode: the text stays
// bound to what was written, never to an empty page.
TEST(SafeSave, AFileTheSaverCannotReopenStaysBoundToWhatWasWritten) {
    SKIP_UNLESS_ROOT();
    TTempDir dir;
    ::chmod((dir / "").c_str(), 0777);
    const fs::path file = dir / "drop.txt";
    WriteFile(file, "old");
    ASSERT_EQ(::chown(file.c_str(), kAlice, kStaff), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0066), 0);
    TReport report = AsUser(kBob, kBobGroup, {kStaff}, [&] {
        TTestDocument d;
        TReport r{{"save", d.EditAndSave(file, "new ")}, {"text", d.Text()}, {"name", d.doc.FileName()}};
        d.text.InsertString("newer ", 0);
        d.doc.Save(d.doc.FileName());
        r["second"] = d.Text();
        return r;
    });
    EXPECT_EQ(report["save"], "");
    EXPECT_EQ(report["text"], "new old");
    EXPECT_EQ(report["name"], file.string());
    EXPECT_EQ(report["second"], "newer new old");
    EXPECT_EQ(report.count("error"), 0u) << report["error"];
    EXPECT_EQ(ReadFile(file), "newer new old");
    EXPECT_EQ(Stat(file).st_uid, kAlice);
}

} // namespace
