// Laying out UTF-8 text by characters: lines and the 1 MiB cut never split a sequence, a line is as
// wide as its characters, a point maps to a character's start, and drawing shows each character once,
// an invalid byte as the replacement mark.

#include <gtest/gtest.h>
#include <random>

#include "FixedCanvas.h"
#include "LaidOutLines.h"
#include "TestFiles.h"
#include "text/Utf8.h"

namespace {

std::string RandomUtf8(std::mt19937& random, size_t pieces) {
    static const std::vector<std::string> kPieces = {
        "a", "word ", "-", " ", "\n", "\r\n", "\xC3\xA9", "\xD0\x96\xD0\xB8", "\xE6\x97\xA5\xE6\x9C\xAC",
        "\xE2\x82\xAC", "\xF0\x9F\x98\x80", "\x80", "\xE2\x82", "\xC0\xAF", "\xED\xA0\x80", "\xFF"};
    std::string text;
    for (size_t i = 0; i < pieces; ++i)
        text += kPieces[random() % kPieces.size()];
    return text;
}

// The width of bytes without controls, a character at a time, as the canvas gives them.
TTextPos BruteWidth(const std::string& bytes, TFixedCanvas& canvas, bool fixedPitch) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* end = p + bytes.size();
    TTextPos width = 0;
    while (p < end) {
        const TUtf8Char c = DecodeUtf8(p, end);
        if (c.Code < 0x80)
            width += canvas.Screen.Widths[c.Code];
        else if (fixedPitch)
            width += (IsWideChar(c.Code) ? 2 : 1) * canvas.Screen.Widths['a'];
        else
            width += canvas.CharWidth(TOutputDevice::odDisplay, c.Code);
        p += c.Length;
    }
    return width;
}

TEST(Utf8Layout, LinesHoldWholeCharactersAsWideAsTheyAre) {
    std::mt19937 random(77);
    for (int round = 0; round < 400; ++round) {
        const bool fixedPitch = random() % 2;
        TFixedCanvas canvas = fixedPitch ? TFixedCanvas(8) : TFixedCanvas::Proportional();
        const std::string bytes = RandomUtf8(random, random() % 60 + 1);
        auto text = TextOver(bytes, random() % 2 ? 16 : 4096);
        text->SetCanvas(&canvas);
        text->SetCharSet(TCharSets::csUtf8);
        text->SetFastLayout(random() % 2);
        text->SetReadAheadSize(16);
        text->SetMaxLineBytes(std::vector<TTextPos>{1, 2, 5, 1 << 20}[random() % 4]);
        text->SetMaxWidth(std::vector<TTextPos>{0, 1, 30, 90}[random() % 4]);
        SCOPED_TRACE("round " + std::to_string(round));
        for (const TLine& line : Lines(*text)) {
            ASSERT_EQ(text->CharStart(line.Start), line.Start) << line;
            ASSERT_EQ(text->CharStart(line.Start + line.Count), line.Start + line.Count) << line;
            const std::string shown = bytes.substr(static_cast<size_t>(line.Start), static_cast<size_t>(line.Count));
            ASSERT_EQ(line.Width, BruteWidth(shown, canvas, fixedPitch)) << line;
            // Any point on the line falls at a character's start.
            const TTextPos x = static_cast<TTextPos>(random() % static_cast<unsigned>(line.Width + 20));
            TTextPos pos = line.Start, width = 0;
            text->PosFromX(pos, x, width);
            ASSERT_EQ(text->CharStart(pos), pos) << line << " at x " << x;
            ASSERT_LE(width, std::max<TTextPos>(x, 0));
        }
    }
}

TEST(Utf8Layout, WideCharactersTakeTwoCellsAndInvalidBytesShowTheMark) {
    TFixedCanvas canvas(8);
    auto text = TextOver("a\xC3\xA9\xE6\x97\xA5\x80z");
    text->SetCanvas(&canvas);
    text->SetCharSet(TCharSets::csUtf8);
    text->DrawRun(0, 0, 0, text->TextSize(), 0);
    ASSERT_EQ(canvas.DrawnChars.size(), 5u);
    const std::vector<char32_t> codes = {U'a', U'é', U'日', kReplacementChar, U'z'};
    const std::vector<TTextPos> xs = {0, 8, 16, 32, 40};
    for (size_t i = 0; i < codes.size(); ++i) {
        EXPECT_EQ(canvas.DrawnChars[i].Code, codes[i]) << i;
        EXPECT_EQ(canvas.DrawnChars[i].X, xs[i]) << i;
    }
    EXPECT_EQ(text->MeasureWidth(0, text->TextSize()), 48);
    // The same bytes in Windows-1252 are eight characters drawn as bytes.
    text->SetCharSet(TCharSets::csWindows1252);
    EXPECT_EQ(text->MeasureWidth(0, text->TextSize()), 64);
}

} // namespace
