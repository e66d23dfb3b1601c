#include "text/DocumentFile.h"

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "FixedCanvas.h"
#include "TestFiles.h"
#include "text/EditStream.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

struct Document {
    Document() {
        text.SetCanvas(&canvas);
        doc.SetSaveMode(TSaveMode::smParagraph);
        doc.OnNewFileName = [this](TDocumentFile& d) { names.push_back(d.FileName().string()); };
    }
    std::string Text() { return text.GetText(0, text.TextSize()); }

    TFixedCanvas canvas;
    TEditStream text;
    TDocumentFile doc{text};
    std::vector<std::string> names;
};

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
    Document d;
    d.doc.SetFileName(dir / "notes.txt");
    d.text.InsertString("new ", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "new old text");
    EXPECT_EQ(ReadFile(dir / "notes.BAK"), "old text");
    EXPECT_EQ(Mode(dir / "notes.txt"), 0640u);
    EXPECT_FALSE(d.text.Modified());
    EXPECT_EQ(d.text.UndoLevels(), 0);
    EXPECT_EQ(d.Text(), "new old text") << "bound again to the saved file";
    EXPECT_TRUE(NoTemporaryFiles(dir, "notes.txt"));

    d.doc.SetBackupFiles(false);
    d.text.InsertString("newer ", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "notes.txt"), "newer new old text");
    EXPECT_FALSE(fs::exists(dir / "notes.BAK")) << "without backups an old one goes too";

    WriteFile(dir / "README", "x");
    d.doc.SetFileName(dir / "README");
    d.text.InsertString("y", 1);
    d.doc.SetBackupFiles(true);
    d.doc.Save(dir / "README");
    EXPECT_EQ(ReadFile(dir / "README.BAK"), "x") << "a name without extension gets one appended";
}

TEST(DocumentFile, SaveUnderANewNameLeavesTheOldFileAlone) {
    TTempDir dir;
    WriteFile(dir / "a.txt", "alpha");
    Document d;
    d.doc.SetFileName(dir / "a.txt");
    d.text.InsertString("!", 5);
    d.doc.Save(dir / "b.txt");
    EXPECT_EQ(ReadFile(dir / "a.txt"), "alpha");
    EXPECT_EQ(ReadFile(dir / "b.txt"), "alpha!");
    EXPECT_EQ(d.doc.FileName(), dir / "b.txt");
    EXPECT_EQ(d.names.back(), (dir / "b.txt").string());
    EXPECT_FALSE(d.text.Modified());

    Document untitled;
    untitled.text.InsertString("fresh", 0);
    int asked = 0;
    untitled.doc.OnSaveNewFile = [&asked](TDocumentFile&) { ++asked; };
    untitled.doc.Save(untitled.doc.FileName());
    EXPECT_EQ(asked, 1) << "no name yet: the host is asked for one";
    untitled.doc.Save(dir / "c.txt");
    EXPECT_EQ(ReadFile(dir / "c.txt"), "fresh");
    EXPECT_TRUE(NoTemporaryFiles(dir, "c.txt"));
}

// Soft breaks become hard ones of the document's kind; the breaks the text has stay as they are.
TEST(DocumentFile, LineBreakModeWritesDisplayLinesWithTheDocumentsBreak) {
    TTempDir dir;
    WriteFile(dir / "lf.txt", "one two three four\nfive\f\fsix\r\n");
    Document d;
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

TEST(DocumentFile, CancellingALineBreakSaveChangesNothing) {
    TTempDir dir;
    std::string lines;
    for (int i = 0; i < 500; ++i)
        lines += "line\n";
    WriteFile(dir / "long.txt", lines);
    Document d;
    d.doc.SetFileName(dir / "long.txt");
    d.text.InsertString("edit ", 0);
    d.doc.SetSaveMode(TSaveMode::smLineBreaks);
    int asked = 0;
    d.doc.OnProgress = [&asked](TTextPos, TTextPos) { return ++asked == 2; };
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(ReadFile(dir / "long.txt"), lines);
    EXPECT_TRUE(d.text.Modified());
    EXPECT_EQ(d.text.GetText(0, 9), "edit line");
    EXPECT_TRUE(NoTemporaryFiles(dir, "long.txt"));
}

TEST(DocumentFile, ReadOnlyFilesAskAndWriteProtection) {
    TTempDir dir;
    WriteFile(dir / "ro.txt", "locked");
    ::chmod((dir / "ro.txt").c_str(), 0444);
    std::vector<std::string> asked;
    auto answering = [&asked](TModalResult answer) {
        return [&asked, answer](TDocumentFile&, TDocumentQuestion question, const std::string& message,
                                TModalResult& result) {
            EXPECT_EQ(question, TDocumentQuestion::dqReadOnly);
            asked.push_back(message);
            result = answer;
        };
    };
    {
        Document d;
        d.doc.OnQuestion = answering(TModalResult::mrYes);
        d.doc.SetFileName(dir / "ro.txt");
        ASSERT_EQ(asked.size(), 1u);
        EXPECT_EQ(asked[0], (dir / "ro.txt").string() + " is read only. Prevent changes to edited text?");
        EXPECT_THROW(d.text.InsertString("x", 0), EWriteProtectError);
        d.doc.Save(d.doc.FileName()); // write-protected: nothing is written
        EXPECT_FALSE(fs::exists(dir / "ro.BAK"));
    }
    Document d;
    d.doc.OnQuestion = answering(TModalResult::mrNo);
    d.doc.SetFileName(dir / "ro.txt");
    d.text.InsertString("un", 0);
    d.doc.Save(d.doc.FileName());
    EXPECT_EQ(ReadFile(dir / "ro.txt"), "unlocked");
    EXPECT_EQ(Mode(dir / "ro.txt"), 0444u) << "still read only after the save";
    EXPECT_EQ(asked.size(), 2u) << "reopening after a save does not ask again";
}

TEST(DocumentFile, QuestionsBeforeReplacingAModifiedDocument) {
    TTempDir dir;
    WriteFile(dir / "one.txt", "one");
    WriteFile(dir / "two.txt", "two");
    Document d;
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

TEST(DocumentFile, FileLockingAgainstAnotherProcess) {
    TTempDir dir;
    WriteFile(dir / "held.txt", "held");
    int ready[2], release[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(release), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        const int handle = ::open((dir / "held.txt").c_str(), O_RDONLY);
        ::flock(handle, LOCK_EX);
        char c = 1;
        (void)!::write(ready[1], &c, 1);
        (void)!::read(release[0], &c, 1);
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    Document d;
    WriteFile(dir / "other.txt", "other");
    d.doc.SetFileName(dir / "other.txt");
    try {
        d.doc.SetFileName(dir / "held.txt");
        FAIL() << "opened a file another process holds";
    } catch (const EFOpenError& e) {
        EXPECT_NE(std::string(e.what()).find("held.txt"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(d.doc.FileName().empty()) << "left empty and untitled";
    EXPECT_EQ(d.text.TextSize(), 0);
    EXPECT_EQ(d.names.back(), "");
    (void)!::write(release[1], &c, 1);
    ::waitpid(child, nullptr, 0);
    d.doc.SetFileName(dir / "held.txt");
    EXPECT_EQ(d.Text(), "held");
}

TEST(DocumentFile, FilesThatCannotBeOpenedOrCreated) {
    TTempDir dir;
    WriteFile(dir / "plain", "plain");
    Document d;
    d.doc.SetFileName(dir / "plain");
    d.text.InsertString("edited ", 0);
    d.doc.OnSaveModified = [](TDocumentFile&, TModalResult& a) { a = TModalResult::mrNo; };
    EXPECT_THROW(d.doc.Save(dir / "plain" / "under-a-file.txt"), EFOpenError);
    fs::create_directory(dir / "folder");
    EXPECT_THROW(d.doc.Save(dir / "folder"), ESaveError);
    EXPECT_EQ(d.doc.FileName(), dir / "plain") << "a failed Save As changes nothing";
    EXPECT_TRUE(d.text.Modified());
    EXPECT_EQ(d.Text(), "edited plain");
    try {
        d.doc.SetFileName(dir / "plain" / "x");
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Cannot open \"" + (dir / "plain" / "x").string() + "\": Not a directory.");
    }
    EXPECT_TRUE(d.doc.FileName().empty());
    EXPECT_EQ(d.text.TextSize(), 0);
}

// When no backup can be written the user is asked first; when the new text cannot take the file's
// name, the document keeps its name and its text, still modified, and no temporary file is left.
TEST(DocumentFile, WhenTheBackupOrTheFileCannotBeReplaced) {
    TTempDir dir;
    WriteFile(dir / "doc.txt", "old");
    fs::create_directories(dir / "doc.BAK" / "full");
    Document d;
    d.doc.SetFileName(dir / "doc.txt");
    d.text.InsertString("new ", 0);
    std::vector<std::string> asked;
    TModalResult answer = TModalResult::mrNo;
    d.doc.OnQuestion = [&](TDocumentFile&, TDocumentQuestion, const std::string& message, TModalResult& a) {
        asked.push_back(message);
        a = answer;
    };
    d.doc.Save(d.doc.FileName());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], "Unable to rename current file to \".bak\" file (\"" + (dir / "doc.BAK").string() +
                            "\": Is a directory). Save \"" + (dir / "doc.txt").string() +
                            "\" without a backup?");
    EXPECT_EQ(ReadFile(dir / "doc.txt"), "old") << "No writes nothing";
    EXPECT_TRUE(d.text.Modified());
    answer = TModalResult::mrYes;
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
    try {
        d.doc.Save(d.doc.FileName());
        FAIL();
    } catch (const ESaveError& e) {
        EXPECT_STREQ(e.what(), "Unable to replace current file");
    }
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
