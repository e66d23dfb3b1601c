#include "mail/UUDecoder.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "Decoding.h"
#include "mail/UUEncoder.h"

namespace fs = std::filesystem;

namespace {

// Runs in another working directory while it exists.
class TWorkingDirectory {
public:
    explicit TWorkingDirectory(const fs::path& path) { fs::current_path(path); }
    ~TWorkingDirectory() { fs::current_path(m_Previous); }

private:
    fs::path m_Previous = fs::current_path();
};

// The text our encoder writes for `bytes` under `name`.
std::string Encoded(const std::string& bytes, const std::string& name) {
    TTempDir dir;
    WriteFile(dir / "in", bytes);
    TEditStream text;
    bool cancelled = false;
    TUUEncoder().Encode(dir / "in", name, cancelled, 0, text);
    return text.GetText(0, text.TextSize());
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

TEST(UUDecoder, TwoFilesWithMailBetweenAndAnErrorThatStaysWithItsFile) {
    const std::string first = std::string(200, 'a');
    std::string broken = Encoded(first, "first.txt");
    broken[broken.find("\nM") + 10] ^= 1; // still a valid character, but another one
    TDecoding d;
    d.Decode("From: a@example.org\r\n\r\n" + broken + "\r\nFrom: b@example.org\r\nSubject: second\r\n\r\n" +
             Encoded("second file", "second.txt"));
    EXPECT_EQ(d.reports, (std::vector<TReport>{{TUdStates::FileSummed, ueFileSum, "first.txt"},
                                               {TUdStates::FileSummed, ueNone, "second.txt"}}));
    EXPECT_EQ(ReadFile(d.dir / "second.txt"), "second file");
}

TEST(UUDecoder, AFileInTwoSectionsChecksEachSection) {
    std::string bytes;
    for (int i = 0; i < 300; ++i)
        bytes += static_cast<char>(i * 7);
    std::vector<std::string> data; // seven data lines, then "`" and "end"
    for (size_t at = 0; at < bytes.size(); at += 45)
        data.push_back(
            TUUEncoder::EncodeLine(Bytes(bytes) + at, static_cast<int>(std::min<size_t>(45, 300 - at))));
    data.insert(data.end(), {"`", "end"});
    TSumCheck first, second, file;
    first.AddLine("begin 644 split.bin");
    for (size_t i = 0; i < data.size(); ++i)
        (i < 3 ? first : second).AddLine(data[i]);
    file.AddBytes(Bytes(bytes), static_cast<TTextPos>(bytes.size()));
    const std::string firstSum = "sum -r/size " + first.Format() + " section (from \"begin\" to \"end\")";
    std::vector<std::string> mail = {"Section 1 of split.bin", "begin 644 split.bin"};
    mail.insert(mail.end(), data.begin(), data.begin() + 3);
    mail.insert(mail.end(),
                {firstSum, "", "From: somebody", "Subject: part 2 of 2", "", "Section 2 of split.bin"});
    mail.insert(mail.end(), data.begin() + 3, data.end());
    mail.insert(mail.end(), {"sum -r/size " + second.Format() + " section from first encoded line to \"end\"",
                             "sum -r/size " + file.Format() + " entire input file"});
    TDecoding d;
    d.Decode(Lines(mail));
    EXPECT_EQ(d.reports, (std::vector<TReport>{{TUdStates::FileSummed, ueNone, "split.bin"}}));
    EXPECT_EQ(ReadFile(d.dir / "split.bin"), bytes);
}

TEST(UUDecoder, LinesThatAreNotWhatTheyLookLike) {
    TDecoding d;
    d.Decode(Lines({"begin abc notmode.txt", "!86)C", "end", "begin 644 long.bin", "#86)C",
                    "N" + std::string(64, '!'), "`", "end"}));
    EXPECT_FALSE(fs::exists(d.dir / "notmode.txt")) << "a begin line with a mode that is no number";
    EXPECT_EQ(d.reports, (std::vector<TReport>{{TUdStates::Ended, ueNone, "long.bin"}}));
    EXPECT_EQ(ReadFile(d.dir / "long.bin"), "abc") << "a line of more than 45 bytes is no data";
}

TEST(UUDecoder, NamesFromTheTextStayInTheChosenDirectory) {
    TDecoding d;
    d.Decode(Lines({"begin 644 ../../escape.txt", "#86)C", "`", "end", "begin 644 /etc/y", "#86)C", "`",
                    "end", "begin 644 C:\\TEMP\\dos.txt", "`", "end", "begin 644 /", "#86)C", "end",
                    std::string("begin 644 cut\0.exe", 18), "#86)C", "`", "end"}));
    EXPECT_EQ(ReadFile(d.dir / "escape.txt"), "abc");
    EXPECT_EQ(ReadFile(d.dir / "y"), "abc");
    EXPECT_TRUE(fs::exists(d.dir / "dos.txt"));
    ASSERT_EQ(d.refusals.size(), 2u) << "a name that is nothing but directories, or holds a NUL, is refused";
    EXPECT_NE(d.refusals[0].find("begin 644 /"), std::string::npos);
    EXPECT_NE(d.refusals[1].find("begin 644 cut\\0.exe"), std::string::npos);
    EXPECT_FALSE(fs::exists(d.dir / "cut"));
    EXPECT_EQ(d.reports.size(), 3u);
}

// A link, a pipe or a device of the file's name may lead anywhere: it is refused, and nothing written.
// A regular file of the name is replaced.
TEST(UUDecoder, OnlyARegularFileOfTheNameIsReplaced) {
    const std::string mail = Lines({"begin 644 x.bin", "#86)C", "`", "end"});
    TTempDir outside;
    WriteFile(outside / "target", "keep");
    for (const fs::path& target : {outside / "target", outside / "missing"}) {
        TDecoding d;
        fs::create_symlink(target, d.dir / "x.bin");
        try {
            d.Decode(mail);
            ADD_FAILURE() << "written through a link to " << target;
        } catch (const EFOpenError& e) {
            EXPECT_NE(std::string(e.what()).find((d.dir / "x.bin").string()), std::string::npos) << e.what();
        }
        EXPECT_TRUE(d.reports.empty());
        EXPECT_TRUE(fs::is_symlink(d.dir / "x.bin"));
    }
    EXPECT_EQ(ReadFile(outside / "target"), "keep");
    EXPECT_FALSE(fs::exists(outside / "missing"));

    TDecoding pipe;
    ASSERT_EQ(::mkfifo((pipe.dir / "x.bin").c_str(), 0600), 0);
    EXPECT_THROW(pipe.Decode(mail), EFOpenError);

    TDecoding replacing;
    WriteFile(replacing.dir / "x.bin", "an older and longer file");
    replacing.Decode(mail);
    EXPECT_EQ(ReadFile(replacing.dir / "x.bin"), "abc");
}

TEST(UUDecoder, ACancelRemovesOnlyThePartOfTheFileInProgress) {
    TDecoding stopped;
    stopped.linesLeft = 4;
    stopped.Decode(Encoded(std::string(4000, 'z'), "stopped.txt"));
    EXPECT_EQ(stopped.reports, (std::vector<TReport>{{TUdStates::Cancelled, ueNone, "stopped.txt"}}));
    EXPECT_FALSE(fs::exists(stopped.dir / "stopped.txt"));

    // A file whose "end" line was met is whole: a cancel after it, or after a begin line refused, keeps it.
    for (const int linesLeft : {4, 6}) {
        TDecoding d;
        d.linesLeft = linesLeft;
        d.Decode(Lines({"begin 644 kept.txt", "#86)C", "`", "end", "begin abc second.txt", "#86)C", "`"}));
        EXPECT_EQ(d.reports, (std::vector<TReport>{{TUdStates::Ended, ueNone, "kept.txt"}})) << linesLeft;
        EXPECT_EQ(ReadFile(d.dir / "kept.txt"), "abc");
    }

    // A file the user ignored is not written, not reported, and not removed from anywhere.
    TTempDir elsewhere;
    WriteFile(elsewhere / "ignored.txt", "not the decoder's");
    const TWorkingDirectory cwd(elsewhere / "");
    TDecoding ignoring;
    ignoring.ignored = "ignored.txt";
    ignoring.linesLeft = 6;
    ignoring.Decode(
        Lines({"begin 644 first.txt", "#86)C", "`", "end", "begin 644 ignored.txt", "#86)C", "`"}));
    EXPECT_EQ(ignoring.reports, (std::vector<TReport>{{TUdStates::Ended, ueNone, "first.txt"}}));
    EXPECT_EQ(ReadFile(ignoring.dir / "first.txt"), "abc");
    EXPECT_FALSE(fs::exists(ignoring.dir / "ignored.txt"));
    EXPECT_EQ(ReadFile(elsewhere / "ignored.txt"), "not the decoder's");

    TDecoding noFile;
    noFile.linesLeft = 2;
    noFile.Decode(Lines({"From: someone", "", "Nothing encoded here."}));
    EXPECT_TRUE(noFile.reports.empty());
}

} // namespace
