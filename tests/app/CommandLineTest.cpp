#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include "TestFiles.h"
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
