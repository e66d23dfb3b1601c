#include <algorithm>
#include <gtest/gtest.h>
#include <iconv.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/CodePages.h"
#include "text/Exceptions.h"

namespace {

TEST(TextStream, BlocksKeepAQuarterOnTheFarSide) {
    auto text = TextOver(std::string(10000, 'x'));
    text->GetCharPtr(0);
    EXPECT_EQ(text->BufferPos(), 0);
    EXPECT_EQ(text->BufferCount(), 4096);
    text->GetCharPtr(5000);
    EXPECT_EQ(text->BufferPos(), 3976);
    text->GetCharPtr(3000);
    EXPECT_EQ(text->BufferPos(), 0) << "moving back puts the position near the block's end";
    text->GetCharPtr(9999);
    EXPECT_EQ(text->BufferPos(), 10000 - 4096);
    EXPECT_EQ(text->BlockLast() - text->BlockFirst() + 1, 4096);

    auto shortText = TextOver("short");
    EXPECT_EQ(*shortText->GetCharPtr(4), 't');
    EXPECT_EQ(shortText->BufferCount(), 5);
    EXPECT_THROW(shortText->InsertString("x", 0), EWriteProtectError);
}

TEST(TextStream, StreamsLargerThanTheLimitAreRefused) {
    TTextStream text;
    text.SetMaxTextSize(4);
    auto fits = std::make_unique<TMemoryStream>();
    fits->Write(Bytes("abcd"), 4);
    text.SetStream(std::move(fits));
    EXPECT_EQ(text.TextSize(), 4);
    auto tooBig = std::make_unique<TMemoryStream>();
    tooBig->Write(Bytes("abcde"), 5);
    EXPECT_EQ(ErrorOf<EMaxText>([&] { text.SetStream(std::move(tooBig)); }),
              "Stream bigger than maximum permitted text size");
    EXPECT_EQ(text.GetText(0, 10), "abcd") << "the text bound before stays";
    text.Clear();
    EXPECT_EQ(text.TextSize(), 0);
}

// Every character of code page 437 that Windows-1252 also has must convert to it exactly, as the
// system's own converter says.
TEST(TextStream, OemTableAgreesWithTheSystemConverter) {
    iconv_t converter = ::iconv_open("CP1252", "CP437");
    ASSERT_NE(converter, reinterpret_cast<iconv_t>(-1));
    int exact = 0;
    for (int b = 0; b < 256; ++b) {
        char in = static_cast<char>(b), out = 0;
        char* inPtr = &in;
        char* outPtr = &out;
        size_t inLeft = 1, outLeft = 1;
        ::iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (::iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) continue;
        EXPECT_EQ(OemToAnsiTable[b], static_cast<unsigned char>(out)) << "byte " << b;
        ++exact;
    }
    ::iconv_close(converter);
    EXPECT_GT(exact, 128 + 50);

    auto text = TextOver("\x82t\xE1 \xC4\xC4 \x9C");
    text->SetOEMConvert(true);
    EXPECT_EQ(text->GetText(0, 8), "\xE9t\xDF -- \xA3");
}

// A stream of any size that reads as one long line, counting the bytes read from it.
class TEndlessLine : public TStream {
public:
    TTextPos Size() const override { return TTextPos(1) << 40; }
    TTextPos Read(unsigned char* buffer, TTextPos count) override {
        std::fill_n(buffer, count, 'x');
        m_Position += count;
        BytesRead += count;
        return count;
    }
    void Write(const unsigned char*, TTextPos) override {}
    TTextPos BytesRead = 0;
};

TEST(TextStream, LineBreakIsTheKindOfTheFirstOneBound) {
    auto kind = [](const std::string& bytes, TTextPos blockSize = 4096) {
        return TextOver(bytes, blockSize)->LineBreak();
    };
    EXPECT_EQ(kind("one\ntwo\r\n"), TLineBreak::brLF);
    EXPECT_EQ(kind("one\r\ntwo\n"), TLineBreak::brCRLF);
    EXPECT_EQ(kind("\r\n"), TLineBreak::brCRLF);
    EXPECT_EQ(kind("a\rb\n"), TLineBreak::brLF) << "a lone CR ends no line";
    EXPECT_EQ(kind("page\fbreak\r"), TLineBreak::brLF) << "without a line break: LF";
    EXPECT_EQ(kind(""), TLineBreak::brLF);
    EXPECT_EQ(kind(std::string(15, 'x') + "\r\n", 16), TLineBreak::brCRLF) << "CR and LF in two blocks";
    EXPECT_EQ(kind(std::string(16, 'x') + "\n\r\n", 16), TLineBreak::brLF);

    const std::string far(TTextStream::LineBreakLookAhead - 2, 'x');
    EXPECT_EQ(kind(far + "\r\n"), TLineBreak::brCRLF);
    EXPECT_EQ(kind(far + "xx\r\n"), TLineBreak::brLF) << "past the look-ahead: not looked for";

    TEditStream text;
    EXPECT_EQ(text.LineBreak(), TLineBreak::brLF) << "a new document";
    auto endless = std::make_unique<TEndlessLine>();
    const TEndlessLine& read = *endless;
    text.SetStream(std::move(endless));
    EXPECT_EQ(text.LineBreak(), TLineBreak::brLF);
    EXPECT_LE(read.BytesRead, TTextStream::LineBreakLookAhead) << "a text of any size binds at once";
    auto crlf = std::make_unique<TMemoryStream>();
    crlf->Write(Bytes("a\r\n"), 3);
    text.SetStream(std::move(crlf));
    EXPECT_EQ(text.LineBreakBytes(), "\r\n");
    text.Clear();
    EXPECT_EQ(text.LineBreakBytes(), "\n");
}

} // namespace
