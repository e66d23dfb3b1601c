// The undo history through saves, the files it keeps open for that, and how a document tells that its
// file changed on disk.

#include <gtest/gtest.h>
#include <unistd.h>

#include "TestDocument.h"
#include "TestFiles.h"
#include "text/Exceptions.h"
#include "text/FileStream.h"

namespace fs = std::filesystem;

namespace {

// Open descriptors of this process whose file has no name any more.
int OpenUnnamedFiles() {
    int count = 0;
    for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        if (fs::read_symlink(entry.path(), error).string().ends_with(" (deleted)")) ++count;
    }
    return count;
}

void Edit(TTestDocument& d, TTextPos pos, TTextPos remove, const std::string& insert) {
    d.text.Delete(pos, remove);
    d.text.InsertString(insert, pos);
}

} // namespace

// Saved by rename, with a backup and without one (the old file then lives on only behind the
// descriptor the history holds), and written into a file with two names, whose old text the history
// then reads from a copy.
TEST(UndoAfterSave, UndoingEditsBeforeASaveGivesTheOldTextAndSavingWritesIt) {
    for (const char* kind : {"backup", "no backup", "hard link"}) {
        SCOPED_TRACE(kind);
        TTempDir dir;
        const fs::path file = dir / "notes.txt";
        WriteFile(file, "the first version of the notes");
        if (std::string(kind) == "hard link") fs::create_hard_link(file, dir / "other name");
        TTestDocument d;
        d.doc.SetBackupFiles(std::string(kind) == "backup");
        d.doc.SetFileName(file);
        Edit(d, 4, 5, "second"); // deletes bytes that only the old file holds
        d.text.EndUndoGroup();
        d.doc.Save(file);
        EXPECT_EQ(ReadFile(file), "the second version of the notes");
        EXPECT_FALSE(d.text.Modified());

        d.text.Undo();
        EXPECT_EQ(d.Text(), "the first version of the notes");
        EXPECT_TRUE(d.text.Modified()) << "the text differs from the file now";
        d.text.Redo();
        EXPECT_EQ(d.Text(), "the second version of the notes");
        EXPECT_FALSE(d.text.Modified()) << "back at the text saved";
        d.text.Undo();
        d.doc.Save(file);
        EXPECT_EQ(ReadFile(file), "the first version of the notes");
        d.text.Redo();
        EXPECT_EQ(d.Text(), "the second version of the notes");
        EXPECT_TRUE(d.text.Modified());
        d.text.CheckInvariants();
    }
}

TEST(UndoAfterSave, AnOldFileStaysOpenOnlyWhileTheHistoryReadsIt) {
    TTempDir dir;
    const fs::path file = dir / "notes.txt";
    WriteFile(file, "old text of the file");
    const int before = OpenUnnamedFiles();
    TTestDocument d;
    d.doc.SetBackupFiles(false);
    d.doc.SetFileName(file);
    d.text.SetMaxUndoLevels(2);
    Edit(d, 0, 3, "new");
    d.doc.Save(file);
    EXPECT_EQ(OpenUnnamedFiles(), before + 1) << "the history holds bytes of the replaced file";

    // Edits that never took bytes out of the old file do not need it; two of them push the one that
    // did out of the history.
    for (int i = 0; i < 2; ++i) {
        d.text.InsertString("+", d.text.TextSize());
        d.text.EndUndoGroup();
        d.text.InsertString(" ", 0);
        d.text.EndUndoGroup();
    }
    EXPECT_EQ(OpenUnnamedFiles(), before) << "the old file goes with the last record that read it";

    Edit(d, 0, 3, "NEW");
    d.doc.Save(file);
    EXPECT_EQ(OpenUnnamedFiles(), before + 1);
    d.doc.SetFileName(file); // reopened: a new history
    EXPECT_EQ(OpenUnnamedFiles(), before);
}

// Written with hard breaks, the saved text differs from the one edited: the change is one undo step.
TEST(UndoAfterSave, ALineBreakSaveIsOneStepOfItsOwn) {
    TTempDir dir;
    const fs::path file = dir / "para.txt";
    WriteFile(file, "aaaa bbbb cccc");
    TTestDocument d;
    d.doc.SetSaveMode(TSaveMode::smLineBreaks);
    d.doc.SetFileName(file);
    d.text.SetMaxWidth(8 * 10); // wraps after "xaaaa bbbb "
    d.text.InsertString("x", 0);
    d.doc.Save(file);
    const std::string saved = ReadFile(file);
    EXPECT_EQ(saved, "xaaaa bbbb \ncccc");
    EXPECT_EQ(d.Text(), saved);
    d.text.Undo();
    EXPECT_EQ(d.Text(), "xaaaa bbbb cccc");
    EXPECT_TRUE(d.text.Modified());
    d.text.Undo();
    EXPECT_EQ(d.Text(), "aaaa bbbb cccc");
    d.text.Redo();
    d.text.Redo();
    EXPECT_EQ(d.Text(), saved);
    EXPECT_FALSE(d.text.Modified());
}

// After Save As, undoing past the save reads the first file again; saving onto that file in place
// (it has two names) must not write it from itself.
TEST(UndoAfterSave, SavingOntoAFileTheHistoryReadsUsesACopyOfIt) {
    TTempDir dir;
    WriteFile(dir / "a.txt", "alpha beta gamma");
    fs::create_hard_link(dir / "a.txt", dir / "a-link.txt");
    TTestDocument d;
    d.answer = TModalResult::mrYes;
    d.doc.SetFileName(dir / "a.txt");
    Edit(d, 6, 4, "BETA");
    d.doc.Save(dir / "b.txt");
    d.text.Undo();
    d.text.InsertString("[", 0);
    d.doc.Save(dir / "a.txt");
    EXPECT_EQ(ReadFile(dir / "a.txt"), "[alpha beta gamma");
    EXPECT_EQ(ReadFile(dir / "a-link.txt"), "[alpha beta gamma");
    d.text.Undo();
    d.text.Redo();
    EXPECT_EQ(d.Text(), "[alpha beta gamma");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "alpha BETA gamma");
}

TEST(UndoAfterSave, ASnapshotKeepsItsBytesThroughEditsAndSaves) {
    TTempDir dir;
    const fs::path file = dir / "s.txt";
    WriteFile(file, "0123456789");
    TTestDocument d;
    d.doc.SetBackupFiles(false);
    d.doc.SetFileName(file);
    d.text.InsertString("ab", 5); // a part in memory between two parts of the file
    const auto snapshot = d.text.Snapshot(3, 6);
    d.text.Delete(0, d.text.TextSize());
    d.text.InsertString("something else", 0); // the memory of "ab" may be handed out again
    d.doc.Save(file);
    d.doc.SetFileName(file); // nothing but the snapshot reads the first file now
    EXPECT_EQ(snapshot->Bytes(), "34ab56");
}

TEST(DiskChange, EachKindOfChangeIsToldApart) {
    TTempDir dir;
    const fs::path file = dir / "watched.txt";
    WriteFile(file, "watched text");
    TTestDocument d;
    d.doc.SetFileLocking(false);
    d.doc.SetFileName(file);
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcNone);
    d.text.InsertString("!", 0);
    d.doc.Save(file);
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcNone) << "its own save is no change";

    WriteFile(dir / "new.txt", "another file");
    fs::rename(dir / "new.txt", file);
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcReplaced);
    EXPECT_EQ(d.Text(), "!watched text") << "the text read before stays";
    fs::remove(file);
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcDeleted);

    d.doc.SetFileName(dir / "watched.BAK");
    ::truncate((dir / "watched.BAK").c_str(), 3);
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcRewritten);
    EXPECT_THROW(d.doc.Save(dir / "elsewhere.txt"), ESaveError) << "never a mix without saying so";
    d.doc.SetRewriteAccepted(true);
    EXPECT_THROW(d.doc.Save(d.doc.FileName()), ESaveError) << "nor over the changed file";
    d.doc.SetFileName(d.doc.FileName());
    EXPECT_EQ(d.Text(), "wat");
    EXPECT_EQ(d.doc.DiskChange(), TDiskChange::dcNone);
}
