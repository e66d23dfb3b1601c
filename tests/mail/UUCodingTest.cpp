#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>

#include "Decoding.h"
#include "mail/QvRun.h"
#include "mail/UUEncoder.h"

namespace {

std::string RandomBytes(size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(random());
    return bytes;
}

// What a shell command prints, or the test fails.
std::string Output(const std::string& command) {
    std::string out;
    FILE* pipe = ::popen(command.c_str(), "r");
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        out.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << command;
    return out;
}

// The first number `sum -r` prints for a file.
unsigned SumR(const std::filesystem::path& file) {
    return static_cast<unsigned>(std::stoul(Output("sum -r " + ShellQuote(file.string()))));
}

TEST(UUCoding, ChecksumsAgreeWithSumR) {
    TTempDir dir;
    for (size_t size : {0u, 1u, 4500u, 123457u}) {
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        WriteFile(dir / "f", bytes);
        TSumCheck sum;
        sum.AddBytes(Bytes(bytes), static_cast<TTextPos>(size));
        EXPECT_EQ(sum.Format(), std::to_string(SumR(dir / "f")) + "/" + std::to_string(size));
    }
    // An empty line counts as a lone LF, as it does for the sum program over a file holding it.
    TSumCheck lines;
    lines.AddLine("x");
    lines.AddLine("");
    WriteFile(dir / "lines", "x\n\n");
    EXPECT_EQ(lines.Format(), std::to_string(SumR(dir / "lines")) + "/3");
}

// The encoder writes uuencode's lines between its own, with the document's line break (LF unless told);
// the text is the same in either. Byte counts that leave one byte for the last group: the group is
// completed with zeros, never with whatever follows the file's bytes in memory.
TEST(UUCoding, EncoderWritesTheLinesUuencodeWritesInEitherLineBreak) {
    TTempDir dir;
    for (size_t size : {1u, 4u, 46u, 4501u, 100000u}) {
        SCOPED_TRACE(std::to_string(size) + " bytes");
        const std::string bytes = RandomBytes(size, static_cast<unsigned>(size));
        WriteFile(dir / "in", bytes);
        std::filesystem::permissions(dir / "in", std::filesystem::perms(0644));
        const std::string tool = Output("uuencode " + ShellQuote((dir / "in").string()) + " x.bin");
        for (const std::string lineBreak : {"\n", "\r\n"}) {
            SCOPED_TRACE(lineBreak == "\n" ? "LF" : "CR LF");
            const std::string before = "Some mail text before." + lineBreak;
            TEditStream model;
            model.InsertString(before, 0);
            bool cancelled = false;
            TUUEncoder encoder;
            if (lineBreak != "\n") encoder.SetLineBreak(lineBreak);
            const TTextPos inserted = encoder.Encode(dir / "in", "/some/where/x.bin", cancelled,
                                                     static_cast<TTextPos>(before.size()), model);
            const std::string text = model.GetText(0, model.TextSize()).substr(before.size());
            EXPECT_EQ(inserted, static_cast<TTextPos>(text.size()));
            std::string ours = text;
            std::erase(ours, '\r');
            EXPECT_EQ(text.size(), ours.size() + (lineBreak.size() - 1) * std::ranges::count(ours, '\n'));
            const size_t header = ours.find('\n') + 1;
            EXPECT_EQ(ours.substr(0, header), "Section 1 of x.bin\n");
            EXPECT_EQ(ours.substr(header, tool.size()), tool);
            EXPECT_TRUE(ours.substr(header + tool.size()).starts_with("sum -r/size "));
            EXPECT_NE(ours.find(" section (from \"begin\" to \"end\")\nsum -r/size "), std::string::npos);

            WriteFile(dir / "mail.txt", before + text);
            Output("cd " + ShellQuote((dir / "").string()) + " && uudecode -o decoded.bin mail.txt");
            EXPECT_TRUE(ReadFile(dir / "decoded.bin") == bytes);
            TDecoding decoding;
            decoding.Decode(before + text);
            EXPECT_EQ(decoding.reports, (std::vector<TReport>{{TUdStates::FileSummed, ueNone, "x.bin"}}));
            EXPECT_TRUE(ReadFile(decoding.dir / "x.bin") == bytes);
        }
        // The last data line again, from bytes that go on past the line's count.
        const std::string last = bytes.substr(size / 45 * 45) + "\xff\xff";
        const size_t end = tool.rfind("`\nend\n");
        const size_t start = tool.rfind('\n', end - 2) + 1;
        EXPECT_EQ(TUUEncoder::EncodeLine(Bytes(last), static_cast<int>(size % 45)) + "\n",
                  tool.substr(start, end - start));
    }
    TTextStream plain; // a text it cannot edit
    bool cancelled = false;
    EXPECT_THROW(TUUEncoder().Encode("/dev/null", "x", cancelled, 0, plain), TUUException);
}

// Zero is written '`' by uuencode, a space by older encoders; mail often loses the spaces that end a line.
TEST(UUCoding, UuencodeOutputDecodesWithZerosAsGravesSpacesOrCutSpaces) {
    TTempDir dir;
    const std::string original = RandomBytes(5000, 2) + std::string(300, '\0');
    WriteFile(dir / "in.bin", original);
    const std::string grave = Output("uuencode " + ShellQuote((dir / "in.bin").string()) + " out.bin");
    std::string spaces = grave;
    for (size_t i = spaces.find('\n') + 1; i < spaces.rfind("\nend"); ++i)
        if (spaces[i] == '`') spaces[i] = ' ';
    ASSERT_NE(spaces, grave) << "the data must hold zero values";
    std::string cut;
    for (size_t start = 0, end; (end = spaces.find('\n', start)) != std::string::npos; start = end + 1)
        cut += spaces.substr(start, spaces.find_last_not_of(' ', end - 1) + 1 - start) + "\n";
    ASSERT_NE(cut.find("\nM\n"), std::string::npos) << "a line of zeros must have lost all its data";
    std::string cutCRLF;
    for (char c : cut)
        cutCRLF += c == '\n' ? "\r\n" : std::string(1, c);
    for (const std::string& encoded : {grave, spaces, cut, cutCRLF}) {
        TDecoding d;
        d.Decode("From: someone\n\n" + encoded);
        EXPECT_EQ(d.reports, (std::vector<TReport>{{TUdStates::Ended, ueNone, "out.bin"}}))
            << "no checksum lines from uuencode";
        EXPECT_TRUE(ReadFile(d.dir / "out.bin") == original);
    }
}

// A line that lost its trailing spaces in transit is completed with zeros; a damaged one is refused.
TEST(UUCoding, DecodingALine) {
    std::vector<unsigned char> back;
    EXPECT_EQ(TUUDecoder::DecodeLine("#86)", back), TUUDecoder::dlDone);
    EXPECT_EQ(std::string(back.begin(), back.end()), "ab@");
    EXPECT_EQ(TUUDecoder::DecodeLine("M", back), TUUDecoder::dlDone);
    EXPECT_EQ(back, std::vector<unsigned char>(45, 0));
    EXPECT_EQ(TUUDecoder::DecodeLine("", back), TUUDecoder::dlTooShort);
    EXPECT_EQ(TUUDecoder::DecodeLine("M```` ", back), TUUDecoder::dlTooShort) << "not cut at its spaces";
    EXPECT_EQ(TUUDecoder::DecodeLine("a````", back), TUUDecoder::dlInvalid);
    EXPECT_EQ(TUUDecoder::DecodeLine("!``a`", back), TUUDecoder::dlInvalid);
}

} // namespace
