#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestFiles.h"
#include "app/FileHandOff.h"
#include "app/SingleInstance.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

const char* const kUsage =
    "Parameter Error: Usage is quorvel [-P] [-L] [-O] [-W NONE|SCREEN|PRINTER|<number>] [<filename>]";

std::string ParseError(const std::vector<std::string>& args) {
    try {
        ParseCommandLine(args);
    } catch (const Exception& e) {
        return e.what();
    }
    return "(no error)";
}

} // namespace

TEST(CommandLine, OptionLettersCombineInEitherCaseAndEachWTakesTheNextArgument) {
    TCommandLine line = ParseCommandLine({"-lo", "-w", "printer", "a.txt"});
    EXPECT_EQ(line.Options, unsigned(coLineBreaks | coNoPrompt | coWrap));
    EXPECT_EQ(line.WrapMode, 3);
    ASSERT_EQ(line.Files.size(), 1u);
    EXPECT_EQ(line.Files[0].Name, fs::current_path() / "a.txt");
    line = ParseCommandLine({"-WLW", "SCREEN", "$48", "a.txt"}); // the second W takes the argument after
    EXPECT_EQ(line.WrapMode, 2);
    EXPECT_EQ(line.LineLength, 72);
    EXPECT_EQ(line.Files.size(), 1u);
    EXPECT_EQ(ParseCommandLine({"-W", " -5"}).LineLength, -5); // not range-checked here
    for (const char* mode : {"NONE", "none", "Screen"})
        EXPECT_NE(ParseCommandLine({"-W", mode}).WrapMode, 2) << mode;
}

TEST(CommandLine, MistakesGiveTheirMessages) {
    TTempDir dir;
    EXPECT_EQ(ParseError({"-X", "a.txt"}), kUsage);
    EXPECT_EQ(ParseError({"-LZ"}), kUsage);
    EXPECT_EQ(ParseError({"+12"}), kUsage); // a line without a file to open at it
    EXPECT_EQ(ParseError({"a.txt", "-W"}), "Unrecognised wrap mode on command line");
    EXPECT_EQ(ParseError({"-W", "72x"}), "Unrecognised wrap mode on command line");
    EXPECT_EQ(ParseError({"-P"}), "No file name specified when print requested");
    EXPECT_EQ(ParseError({"-P", "-"}), "No file name specified when print requested");
    EXPECT_EQ(ParseError({"-P", (dir / "gone.txt").string()}), "Specified file does not exist");
}

TEST(CommandLine, FilesOpenInOrderWithTheirLinesAndDashesMeanWhatLinuxUsersExpect) {
    const TCommandLine line =
        ParseCommandLine({"/x/one", "+12", "two", "-L", "--", "-three", "+4", "--help"});
    ASSERT_EQ(line.Files.size(), 5u);
    EXPECT_EQ(line.Files[0].Name, "/x/one");
    EXPECT_EQ(line.Files[0].Line, 0);
    EXPECT_EQ(line.Files[1].Name, fs::current_path() / "two");
    EXPECT_EQ(line.Files[1].Line, 12);
    EXPECT_EQ(line.Files[2].Name.filename(), "-three");
    EXPECT_EQ(line.Files[3].Name.filename(), "+4");
    EXPECT_EQ(line.Files[4].Name.filename(), "--help");
    EXPECT_EQ(line.Options, unsigned(coLineBreaks));
    EXPECT_FALSE(line.Help);
    EXPECT_TRUE(ParseCommandLine({"-"}).ReadStdin);
    EXPECT_TRUE(ParseCommandLine({"--version"}).Version);
    EXPECT_TRUE(ParseCommandLine({"+99999999999999999999999", "big"}).Files[0].Line > 0); // no overflow
}

TEST(FileHandOff, TheRecordIs268BytesAndCarriesALineWhereOthersDoNotLook) {
    const TFileHandOff sent{true, 2, -72, "/home/ann/letter.txt", 40};
    const auto bytes = sent.Encode();
    static_assert(sizeof bytes == 268);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[1], 2);
    EXPECT_EQ(bytes[4], 0xB8); // -72, little-endian
    EXPECT_EQ(bytes[7], 0xFF);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data() + 8)), "/home/ann/letter.txt");
    const auto received = TFileHandOff::Decode(bytes.data());
    ASSERT_TRUE(received);
    EXPECT_EQ(received->WrapGiven, true);
    EXPECT_EQ(received->WrapMode, 2);
    EXPECT_EQ(received->LineLength, -72);
    EXPECT_EQ(received->FileName, sent.FileName);
    EXPECT_EQ(received->Line, 40);

    auto broken = bytes;
    broken[1] = 4;
    EXPECT_FALSE(TFileHandOff::Decode(broken.data()));
    std::fill(broken.begin() + 8, broken.end(), 'a'); // no NUL
    broken[1] = 0;
    EXPECT_FALSE(TFileHandOff::Decode(broken.data()));
    // A name of 259 bytes fits with its NUL, one more does not, and a line needs room of its own.
    EXPECT_TRUE((TFileHandOff{false, 0, 0, "/" + std::string(258, 'n'), 0}.Fits()));
    EXPECT_FALSE((TFileHandOff{false, 0, 0, "/" + std::string(259, 'n'), 0}.Fits()));
    EXPECT_FALSE((TFileHandOff{false, 0, 0, "/" + std::string(258, 'n'), 7}.Fits()));
}

TEST(SingleInstance, TheFolderIsMadePrivateAndOneInstanceDecidesAtATime) {
    TTempDir dir;
    const fs::path folder = dir / "quorvel";
    ::mkdir(folder.c_str(), 0755);
    TSingleInstance first(folder);
    ASSERT_TRUE(first.Usable());
    struct stat info {};
    ASSERT_EQ(::stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_FALSE(first.ReceiverRunning());
    EXPECT_FALSE(TFileLock(folder / "lock", 50).Held());
    first.ReleaseLock();
    EXPECT_TRUE(TFileLock(folder / "lock", 50).Held());
}

TEST(SingleInstance, AFolderThatIsALinkIsNotUsed) {
    TTempDir dir;
    fs::create_directory(dir / "elsewhere");
    fs::create_directory_symlink(dir / "elsewhere", dir / "quorvel");
    EXPECT_FALSE(TSingleInstance(dir / "quorvel").Usable());
}
