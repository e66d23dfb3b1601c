#include "text/DocumentFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "ErrorOf.h"
#include "TestDocument.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

unsigned Mode(const fs::path& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

// No name in `dir` that ends with ".$$$" and starts with the file's name.
bool NoTemporaryFiles(const TTempDir& dir, const char* name) {
    for (const auto& entry : fs::directory_iterator(dir / "")) {
        const std::string found = entry.path().filename().string();
        if (found.starts_with(name) && found.ends_with(".$$$")) return false;
    }
    return true;
}

TEST(DocumentFile, SaveInPlaceKeepsTheOldTextAsBackupAndThePermissions) {
    TTempDir dir;
    WriteFile(dir / "notes.txt", "old text");
    WriteFile(dir / "notes.BAK", "an older backup");
    ::chmod((dir / "notes.txt").c_str(), 0640);
    TTestDocument d;
    EXPECT_EQ(d.EditAndSave(dir / "notes.txt", "new "), "");
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "new old text");
    EXPECT_EQ(ReadFile(dir / "notes.BAK"), "old text");
    EXPECT_EQ(Mode(dir / "notes.txt"), 0640u);
    EXPECT_FALSE(d.text.Modified());
    EXPECT_EQ(d.Text(), "new old text") << "bound again to the saved file";
    EXPECT_TRUE(NoTemporaryFiles(dir, "notes.txt"));

    d.doc.SetBackupFiles(false);
    EXPECT_EQ(d.EditAndSave(dir / "notes.txt", "newer "), "");
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "newer new old text");
    EXPECT_FALSE(fs::exists(dir / "notes.BAK")) << "without backups an old one goes too";

    WriteFile(dir / "README", "x");
    d.doc.SetBackupFiles(true);
    EXPECT_EQ(d.EditAndSave(dir / "README", "y"), "");
    EXPECT_EQ(ReadFile(dir / "README.BAK"), "x") << "a name without extension gets one appended";
}

TEST(DocumentFile, SaveUnderANewNameLeavesTheOldFileAlone) {
    TTempDir dir;
    WriteFile(dir / "a.txt", "alpha");
    TTestDocument d;
    d.doc.SetFileName(dir / "a.txt");
    d.text.InsertString("!", 5);
    d.doc.Save(dir / "b.txt");
    EXPECT_EQ(ReadFile(dir / "a.txt"), "alpha");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "alpha!");
    EXPECT_EQ(d.doc.FileName(), dir / "b.txt");
    EXPECT_EQ(d.names.back(), (dir / "b.txt").string());
    EXPECT_FALSE(d.text.Modified());

    TTestDocument untitled;
    untitled.text.InsertString("fresh", 0);
    untitled.doc.Save(untitled.doc.FileName());
    EXPECT_EQ(untitled.elsewhere, 1) << "no name yet: the host is asked for one";
    untitled.doc.Save(dir / "c.txt");
    EXPECT_EQ(ReadFile(dir / "c.txt"), "fresh");
    EXPECT_TRUE(NoTemporaryFiles(dir, "c.txt"));
}

// Soft breaks become hard ones of the document's kind; the breaks the text has stay as they are.
TEST(DocumentFile, LineBreakModeWritesDisplayLinesWithTheDocumentsBreak) {
    TTempDir dir;
    WriteFile(dir / "lf.txt", "one two three four\nfive\f\fsix\r\n");
    TTestDocument d;
    d.doc.SetFileName(dir / "lf.txt");
    d.text.SetMaxWidth(8 * 9);               // wraps after "one two "
    const int mark = d.text.AddBookmark(19); // "five"
    d.doc.OnGetPositions = [] { return std::vector<TTextPos>{4, 24, 27}; };
    std::vector<TTextPos> moved;
    d.doc.OnSetPositions = [&moved](const std::vector<TTextPos>& p) { moved = p; };
    int prompts = 0;
    d.doc.OnSaveModePrompt = [&prompts](TDocumentFile&, TSaveMode& mode) {
        ++prompts;
        mode = TSaveMode::smLineBreaks;
    };
    d.doc.Save(dir / "lines.txt");
    EXPECT_EQ(prompts, 1);
    EXPECT_EQ(ReadFile(dir / "lines.txt"), "one two \nthree \nfour\nfive\n\f\fsix\r\n");
    EXPECT_EQ(moved, (std::vector<TTextPos>{4, 27, 30}));
    EXPECT_EQ(d.text.GetBookmark(mark), 21);

    d.doc.OnSaveModePrompt = nullptr;
    d.doc.SetSaveMode(TSaveMode::smParagraph);
    WriteFile(dir / "crlf-in.txt", "a\r\nb\fc\nd");
    d.doc.SetFileName(dir / "crlf-in.txt");
    d.text.InsertString("x", 0);
    d.doc.Save(dir / "same.txt");
    EXPECT_EQ(ReadFile(dir / "same.txt"), "xa\r\nb\fc\nd");
    d.doc.SetSaveMode(TSaveMode::smPrompt); // without a prompt handler: line breaks
    d.doc.Save(dir / "prompted.txt");
    EXPECT_EQ(ReadFile(dir / "prompted.txt"), "xa\r\nb\r\n\fc\nd");
}

// Cancelled three quarters into writing line breaks, into a new file or (for a file with a second link)
// into the file itself: the file keeps or gets back its text, under every name. The text is larger than
// what the writer holds back, so the cancelled save has written part of it.
TEST(DocumentFile, CancellingALineBreakSaveChangesNothing) {
    const std::string lines = Repeated("line\n", 300000);
    for (bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "in place" : "by a new file");
        TTempDir dir;
        WriteFile(dir / "long.txt", lines);
        if (linked) fs::create_hard_link(dir / "long.txt", dir / "link.txt");
        TTestDocument d;
        d.doc.SetFileName(dir / "long.txt");
        d.text.InsertString("edit ", 0);
        d.doc.SetSaveMode(TSaveMode::smLineBreaks);
        int cancels = 0; // the save must stop at the first
        d.doc.OnProgress = [&cancels](TTextPos done, TTextPos total) {
            if (done > total * 3 / 4) ++cancels;
            return cancels > 0;
        };
        d.doc.Save(d.doc.FileName());
        EXPECT_EQ(cancels, 1) << "the save goes on after a cancel";
        EXPECT_TRUE(ReadFile(dir / "long.txt") == lines);
        if (linked) {
            EXPECT_TRUE(ReadFile(dir / "link.txt") == lines);
        }
        EXPECT_TRUE(d.text.Modified());
        EXPECT_EQ(d.text.GetText(0, 9), "edit line");
        EXPECT_TRUE(NoTemporaryFiles(dir, "long.txt"));
    }
}

TEST(DocumentFile, ReadOnlyFilesAskAndWriteProtection) {
    TTempDir dir;
    WriteFile(dir / "ro.txt", "locked");
    ::chmod((dir / "ro.txt").c_str(), 0444);
    {
        TTestDocument d;
        d.answer = TModalResult::mrYes;
        d.doc.SetFileName(dir / "ro.txt");
        EXPECT_EQ(d.kinds, std::vector{TDocumentQuestion::dqReadOnly});
        EXPECT_EQ(d.asked, std::vector<std::string>{(dir / "ro.txt").string() +
                                                    " is read only. Prevent changes to edited text?"});
        EXPECT_THROW(d.text.InsertString("x", 0), EWriteProtectError);
        d.doc.Save(d.doc.FileName()); // write-protected: nothing is written
        EXPECT_FALSE(fs::exists(dir / "ro.BAK"));
    }
    TTestDocument d;
    d.answer = TModalResult::mrNo;
    EXPECT_EQ(d.EditAndSave(dir / "ro.txt", "un"), "");
    EXPECT_EQ(ReadFile(dir / "ro.txt"), "unlocked");
    EXPECT_EQ(Mode(dir / "ro.txt"), 0444u) << "still read only after the save";
    EXPECT_EQ(d.asked.size(), 1u) << "reopening after a save does not ask again";
}

TEST(DocumentFile, QuestionsBeforeReplacingAModifiedDocument) {
    TTempDir dir;
    WriteFile(dir / "one.txt", "one");
    WriteFile(dir / "two.txt", "two");
    TTestDocument d;
    d.doc.SetFileName(dir / "one.txt");
    d.text.InsertString("1", 3);
    TModalResult answer = TModalResult::mrCancel;
    d.doc.OnSaveModified = [&answer](TDocumentFile&, TModalResult& a) { a = answer; };
    d.doc.SetFileName(dir / "two.txt");
    EXPECT_EQ(d.doc.FileName(), dir / "one.txt") << "Cancel keeps the document";
    EXPECT_EQ(d.Text(), "one1");

    answer = TModalResult::mrNo;
    d.doc.SetFileName(dir / "one.txt"); // the same name: reopen, dropping the change
    EXPECT_EQ(d.Text(), "one");
    EXPECT_EQ(d.text.UndoLevels(), 0);

    d.text.InsertString("!", 0);
    answer = TModalResult::mrYes;
    d.doc.New();
    EXPECT_EQ(ReadFile(dir / "one.txt"), "!one");
    EXPECT_TRUE(d.doc.FileName().empty());
    EXPECT_EQ(d.text.TextSize(), 0);
}

// A file another document holds is refused, and the document is left empty and untitled. Locks
// belong to open files, so a second document here stands for another process as well.
TEST(DocumentFile, AFileHeldByAnotherDocumentIsRefused) {
    TTempDir dir;
    WriteFile(dir / "held.txt", "held");
    WriteFile(dir / "other.txt", "other");
    auto holder = std::make_unique<TTestDocument>();
    holder->doc.SetFileName(dir / "held.txt");
    TTestDocument d;
    d.doc.SetFileName(dir / "other.txt");
    EXPECT_NE(ErrorOf<EFOpenError>([&] { d.doc.SetFileName(dir / "held.txt"); }).find("held.txt"),
              std::string::npos);
    EXPECT_TRUE(d.doc.FileName().empty());
    EXPECT_EQ(d.text.TextSize(), 0);
    EXPECT_EQ(d.names.back(), "");
    holder.reset();
    d.doc.SetFileName(dir / "held.txt");
    EXPECT_EQ(d.Text(), "held");
}

TEST(DocumentFile, FilesThatCannotBeOpenedOrCreated) {
    TTempDir dir;
    WriteFile(dir / "plain", "plain");
    TTestDocument d;
    d.doc.SetFileName(dir / "plain");
    d.text.InsertString("edited ", 0);
    d.doc.OnSaveModified = [](TDocumentFile&, TModalResult& a) { a = TModalResult::mrNo; };
    EXPECT_THROW(d.doc.Save(dir / "plain" / "under-a-file.txt"), EFOpenError);
    fs::create_directory(dir / "folder");
    EXPECT_THROW(d.doc.Save(dir / "folder"), ESaveError);
    EXPECT_EQ(d.doc.FileName(), dir / "plain") << "a failed Save As changes nothing";
    EXPECT_TRUE(d.text.Modified());
    EXPECT_EQ(d.Text(), "edited plain");
    EXPECT_EQ(ErrorOf<EFOpenError>([&] { d.doc.SetFileName(dir / "plain" / "x"); }),
              "Cannot open \"" + (dir / "plain" / "x").string() + "\": Not a directory.");
    EXPECT_TRUE(d.doc.FileName().empty());
    EXPECT_EQ(d.text.TextSize(), 0);
}

// When no backup can be written the user is asked first; when the new text cannot take the file's
// name, the document keeps its name and its text, still modified, and no temporary file is left.
TEST(DocumentFile, WhenTheBackupOrTheFileCannotBeReplaced) {
    TTempDir dir;
    WriteFile(dir / "doc.txt", "old");
    fs::create_directories(dir / "doc.BAK" / "full");
    TTestDocument d;
    d.answer = TModalResult::mrNo;
    EXPECT_EQ(d.EditAndSave(dir / "doc.txt", "new "), "");
    EXPECT_EQ(d.asked, std::vector<std::string>{"Unable to rename current file to \".bak\" file (\"" +
                                                (dir / "doc.BAK").string() + "\": Is a directory). Save \"" +
                                                (dir / "doc.txt").string() + "\" without a backup?"});
    EXPECT_EQ(ReadFile(dir / "doc.txt"), "old") << "No writes nothing";
    EXPECT_TRUE(d.text.Modified());
    d.answer = TModalResult::mrYes;
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "doc.txt"), "new old");
    EXPECT_TRUE(NoTemporaryFiles(dir, "doc.txt"));

    fs::remove_all(dir / "doc.BAK");
    d.text.InsertString("newer ", 0);
    d.doc.OnSaveStep = [&dir](TSaveStep step) {
        if (step != TSaveStep::ssBackedUp) return;
        fs::remove(dir / "doc.txt"); // something else now sits where the file must go
        fs::create_directories(dir / "doc.txt" / "full");
    };
    EXPECT_EQ(ErrorOf<ESaveError>([&] { d.doc.Save(d.doc.FileName()); }), "Unable to replace current file");
    EXPECT_EQ(d.Text(), "newer new old");
    EXPECT_EQ(d.doc.FileName(), dir / "doc.txt");
    EXPECT_TRUE(d.text.Modified());
    EXPECT_EQ(ReadFile(dir / "doc.BAK"), "new old");
    EXPECT_TRUE(NoTemporaryFiles(dir, "doc.txt"));
    d.doc.OnSaveStep = nullptr;
    d.doc.Save(dir / "rescued.txt");
    EXPECT_EQ(ReadFile(dir / "rescued.txt"), "newer new old");
}

} // namespace

// A file's set is read when it opens; saving keeps the set the user chose.
TEST(DocumentFile, TheCharacterSetComesWithTheFileAndStaysThroughASave) {
    TTempDir dir;
    WriteFile(dir / "latin.txt", "caf\xE9\n");
    WriteFile(dir / "utf8.txt", "caf\xC3\xA9\n");
    TTestDocument d;
    d.doc.SetFileName(dir / "utf8.txt");
    EXPECT_EQ(d.text.CharSet(), TCharSets::csUtf8);
    d.doc.SetFileName(dir / "latin.txt");
    EXPECT_EQ(d.text.CharSet(), TCharSets::csWindows1252);
    d.text.SetCharSet(TCharSets::csUtf8);
    d.text.InsertString("x", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "latin.txt"), "xcaf\xE9\n");
    EXPECT_EQ(d.text.CharSet(), TCharSets::csUtf8);
    d.text.SetCharSet(TCharSets::csWindows1252);
    d.doc.New();
    EXPECT_EQ(d.text.CharSet(), TCharSets::csUtf8) << "a new text is UTF-8";
}
