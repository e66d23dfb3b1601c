#include <csignal>
#include <gtest/gtest.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "TestFiles.h"
#include "app/AtomicFile.h"
#include "app/IniSections.h"
#include "app/QVIniFile.h"

namespace fs = std::filesystem;

namespace {

const char* const kCorrupt = "Initialisation file corrupt";
const char* const kNotInteger = "Error in initialisation file integer";

TQVIniFile StoreOf(const TTempDir& dir, const std::string& text) {
    WriteFile(dir / "store.ini", text);
    return TQVIniFile(dir / "store.ini");
}

} // namespace

TEST(IniFile, ValuesAreKeptRawWithTheirSectionsAndNamesAsWritten) {
    TTempDir dir;
    const std::string big(10 << 20, 'x');
    TQVIniFile store = StoreOf(dir, "stray=before any section\r\n"
                                    "; a comment\r\n"
                                    "[Editor]\r\n"
                                    "Dir=C:\\temp\\\r\n"
                                    " Font = Arial,-13,10,0,0 \r\n"
                                    "Sum=a=b;c\r\n"
                                    "wrap=1\n"
                                    "Wrap=2\n"
                                    "no equals sign\n"
                                    "[Somebody Else's]\n"
                                    "Name=\xE9t\xE9\n"
                                    "Long=" +
                                        big + "\n");
    EXPECT_EQ(store.ReadString("editor", "dir", ""), "C:\\temp\\");
    EXPECT_EQ(store.ReadString("Editor", "Font", ""), " Arial,-13,10,0,0 ");
    EXPECT_EQ(store.ReadString("Editor", "Sum", ""), "a=b;c");
    EXPECT_EQ(store.ReadInteger("Editor", "Wrap", 0), 2); // the later of two values counts
    EXPECT_FALSE(store.ValueExists("Editor", "stray"));
    EXPECT_EQ(store.ReadString("Somebody Else's", "Name", ""), "\xE9t\xE9");
    EXPECT_EQ(store.ReadString("Somebody Else's", "Long", "").size(), big.size());
    store.WriteInteger("Editor", "StartUp", 0);
    store.UpdateFile();
    // What the program does not know survives its writes.
    const TQVIniFile again(dir / "store.ini");
    EXPECT_EQ(again.ReadString("Somebody Else's", "Name", ""), "\xE9t\xE9");
    EXPECT_EQ(again.ReadString("Somebody Else's", "Long", "").size(), big.size());
    EXPECT_EQ(again.ReadString("EDITOR", "Dir", ""), "C:\\temp\\");
    EXPECT_EQ(again.ReadInteger("Editor", "StartUp", 1), 0);
}

TEST(IniFile, NumbersReadAsTheStoreWritesThemAndNothingElse) {
    TQVIniFile store;
    const std::pair<const char*, int> integers[] = {
        {"12", 12},  {" -7", -7}, {"0x1F", 31}, {"0X1f", 31}, {"$10", 16}, {"2147483647", 2147483647},
        {"12x", 99}, {"", 99},    {"0x", 99},   {"1 2", 99},  {"+-3", 99}, {"2147483648", 99},
        {"1.5", 99}};
    for (const auto& [text, value] : integers) {
        store.WriteString("N", "V", text);
        EXPECT_EQ(store.ReadInteger("N", "V", 99), value) << '"' << text << '"';
    }
    const std::pair<const char*, double> floats[] = {{"0.75", 0.75}, {"1", 1.0}, {"-0.25", -0.25},
                                                     {"0,75", 9},    {"nan", 9}, {"inf", 9},
                                                     {"1e999", 9},   {"", 9}};
    for (const auto& [text, value] : floats) {
        store.WriteString("N", "F", text);
        EXPECT_EQ(store.ReadFloat("N", "F", 9), value) << '"' << text << '"';
    }
    store.WriteFloat("N", "F", 0.125);
    EXPECT_EQ(store.ReadString("N", "F", ""), "0.12");
    store.WriteFloat("N", "F", 1);
    EXPECT_EQ(store.ReadString("N", "F", ""), "1.00");
}

TEST(IniFile, FontFieldsFailWithTheStoresOwnMessagesWhichReadFontKeeps) {
    TFontFields fields("Arial,-13,x");
    EXPECT_EQ(fields.NextField(), "Arial");
    EXPECT_EQ(fields.NextInteger(), -13);
    try {
        fields.NextInteger();
        FAIL() << "\"x\" read as an integer";
    } catch (const TIniFileException& e) {
        EXPECT_STREQ(e.what(), kNotInteger);
    }
    try {
        fields.NextField();
        FAIL() << "a field read past the end";
    } catch (const TIniFileException& e) {
        EXPECT_STREQ(e.what(), kCorrupt);
    }
    TQVIniFile store;
    const TFontText fallback{"Courier New", -13, 10, 0, 0};
    for (const char* text : {"Arial,-13", "Arial,x,10,0,0", "Arial,-13,10,0,12x", ""}) {
        store.WriteString("Editor", "Font", text);
        EXPECT_EQ(store.ReadFont("Editor", "Font", fallback), fallback) << text;
    }
    store.WriteFont("Editor", "Font", {"DejaVu Sans", -20, 15, 0, 3});
    EXPECT_EQ(store.ReadString("Editor", "Font", ""), "DejaVu Sans,-20,15,0,3");
    EXPECT_EQ(store.ReadFont("Editor", "Font", fallback), (TFontText{"DejaVu Sans", -20, 15, 0, 3}));
}

TEST(IniFile, ListsKeepTheirOrderAndACountBeyondReasonReadsAsNone) {
    TQVIniFile store;
    store.WriteStringList("QuickList", {"/a", "/b", "/c", "/d", "/e"});
    store.WriteStringList("QuickList", {"/x", "", "/z"});
    EXPECT_EQ(store.ReadStringList("QuickList"), (std::vector<std::string>{"/x", "", "/z"}));
    EXPECT_EQ(store.ReadString("QuickList", "Name5", ""), "/e"); // left beyond the count, and not read
    store.WriteInteger("QuickList", "Count", 2000000000);
    EXPECT_TRUE(store.ReadStringList("QuickList").empty());
}

TEST(IniFile, AValueWithALineBreakCannotInjectOthers) {
    TTempDir dir;
    TQVIniFile store = StoreOf(dir, "[Editor]\nDir=/home\n");
    store.WriteString("Editor", "Dir", "/tmp/x\n[Editor]\nWrap=3");
    store.WriteString("Editor", "SaveDir", "/tmp/y\r");
    store.UpdateFile();
    const TQVIniFile again(dir / "store.ini");
    EXPECT_EQ(again.ReadString("Editor", "Dir", ""), "/home");
    EXPECT_FALSE(again.ValueExists("Editor", "Wrap"));
    EXPECT_FALSE(again.ValueExists("Editor", "SaveDir"));
}

TEST(IniFile, EachInstanceWritesWhatItChangedOverWhatTheOtherWrote) {
    TTempDir dir;
    WriteFile(dir / "store.ini",
              "[Editor]\nWrap=0\nStartUp=1\nDir=/home\n[Tabs]\nCount=2\nTab1=1.00\nTab2=2.00\n");
    TQVIniFile first(dir / "store.ini"), second(dir / "store.ini");
    first.WriteInteger("Editor", "Wrap", 2);
    first.WriteString("Editor", "Dir", "/first");
    first.WriteInteger("Editor", "StartUp", 1); // unchanged: what the other wrote stays
    first.UpdateFile();
    second.WriteInteger("Editor", "StartUp", 0);
    second.WriteString("Editor", "Dir", "/second");
    second.WriteInteger("Editor", "Wrap", 0); // what it read: the other's change stays
    second.EraseSection("Tabs");
    second.WriteInteger("Tabs", "Count", 1);
    second.WriteFloat("Tabs", "Tab1", 1);
    second.UpdateFile();
    const TQVIniFile result(dir / "store.ini");
    EXPECT_EQ(result.ReadInteger("Editor", "Wrap", -1), 2);
    EXPECT_EQ(result.ReadInteger("Editor", "StartUp", -1), 0);
    EXPECT_EQ(result.ReadString("Editor", "Dir", ""), "/second"); // both changed it: the last writer's
    EXPECT_EQ(result.ReadInteger("Tabs", "Count", -1), 1);
    EXPECT_FALSE(result.ValueExists("Tabs", "Tab2"));
    // The first store now holds the merged values and writes only its own changes again.
    first.WriteString("Editor", "BlockReplaceStr", "--");
    first.UpdateFile();
    EXPECT_EQ(TQVIniFile(dir / "store.ini").ReadString("Editor", "Dir", ""), "/second");
}

TEST(IniFile, AStoreThatIsALinkStaysOneAndANewStoreIsPrivate) {
    TTempDir dir;
    fs::create_directory(dir / "dotfiles");
    WriteFile(dir / "dotfiles" / "real.ini", "[Editor]\nWrap=1\n");
    fs::create_symlink(dir / "dotfiles" / "real.ini", dir / "store.ini");
    TQVIniFile store(dir / "store.ini");
    store.WriteInteger("Editor", "Wrap", 3);
    store.UpdateFile();
    EXPECT_TRUE(fs::is_symlink(dir / "store.ini"));
    EXPECT_EQ(TQVIniFile(dir / "dotfiles" / "real.ini").ReadInteger("Editor", "Wrap", 0), 3);
    TQVIniFile fresh(dir / "new" / "folder" / "store.ini");
    fresh.WriteInteger("Editor", "Wrap", 1);
    fresh.UpdateFile();
    EXPECT_EQ(fs::status(dir / "new" / "folder" / "store.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir / "new" / "folder"), {}), 1); // no temporary file left
}

// A writer killed at any moment leaves the old store or the new one, each whole.
TEST(IniFile, AWriteKilledAtARandomMomentLeavesTheOldOrTheNewFileWhole) {
    TTempDir dir;
    const fs::path name = dir / "store.ini";
    const std::string older = "[Editor]\nWrap=0\n" + std::string(2 << 20, 'o') + "=1\n";
    const std::string newer = "[Editor]\nWrap=3\n" + std::string(2 << 20, 'n') + "=1\n";
    WriteFileAtomically(name, older);
    std::mt19937 random(20240607);
    for (int round = 0; round < 20; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;) {
                WriteFileAtomically(name, newer);
                WriteFileAtomically(name, older);
            }
        }
        ::usleep(std::uniform_int_distribution<useconds_t>(0, 30000)(random));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        const std::string found = ReadFile(name);
        ASSERT_TRUE(found == older || found == newer)
            << "round " << round << ": " << found.size() << " bytes";
    }
}
