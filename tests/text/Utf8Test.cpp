#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "text/ByteScan.h"
#include "text/CharSet.h"
#include "text/CodeWidths.h"
#include "text/RunMeasure.h"
#include "text/Utf8.h"

namespace {

using TBytes = std::basic_string<unsigned char>;

TBytes Bytes(const char* text) { return TBytes(reinterpret_cast<const unsigned char*>(text)); }

TUtf8Char Decode(const TBytes& b) { return DecodeUtf8(b.data(), b.data() + b.size()); }

// The UTF-8 form of a Unicode scalar value.
TBytes Encode(char32_t c) {
    if (c < 0x80) return TBytes(1, static_cast<unsigned char>(c));
    const int length = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    TBytes bytes(static_cast<size_t>(length), 0);
    for (int i = length - 1; i > 0; --i, c >>= 6)
        bytes[static_cast<size_t>(i)] = static_cast<unsigned char>(0x80 | (c & 0x3F));
    bytes[0] = static_cast<unsigned char>((0xF00 >> length & 0xFF) | c);
    return bytes;
}

TCharSets Detect(const TBytes& b, bool wholeFile = true) { return DetectCharSet(b.data(), b.size(), wholeFile); }

} // namespace

TEST(Utf8, EveryScalarValueRoundTripsAndEveryMalformedFormIsOneInvalidByte) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c == 0xD800) c = 0xE000;
        const TBytes bytes = Encode(c);
        unsigned char encoded[4];
        ASSERT_EQ(TBytes(encoded, static_cast<size_t>(EncodeUtf8(c, encoded))), bytes);
        const TUtf8Char back = Decode(bytes);
        ASSERT_TRUE(back.Valid && back.Code == c && back.Length == static_cast<int>(bytes.size()))
            << std::hex << static_cast<std::uint32_t>(c);
    }
    for (const char* bad : {"\xC0\x80", "\xC1\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                            "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80", "\xFF", "\x80",
                            "\xE2\x82", "\xE2\x82x", "\xC3\xC3"}) {
        const TUtf8Char c = Decode(Bytes(bad));
        EXPECT_TRUE(!c.Valid && c.Length == 1 && c.Code == kReplacementChar) << bad;
    }
}

// Looking back from any byte finds the start that reading forwards from the beginning gives.
TEST(Utf8, CharacterStartsFoundBackwardsAgreeWithReadingForwards) {
    std::mt19937 random(7);
    const std::vector<TBytes> pieces = {Bytes("a"),        Bytes("\xC3\xA9"),         Bytes("\xE2\x82\xAC"),
                                        Bytes("\xF0\x9F\x98\x80"), Bytes("\x80"), Bytes("\xE2\x82"),
                                        Bytes("\xF0\x9F\x98"), Bytes("\xC0\xAF"), Bytes("\xED\xA0\x80")};
    for (int round = 0; round < 300; ++round) {
        TBytes text;
        while (text.size() < 40) text += pieces[random() % pieces.size()];
        const unsigned char* const begin = text.data();
        const unsigned char* const end = begin + text.size();
        std::vector<const unsigned char*> startOf(text.size());
        for (const unsigned char* p = begin; p < end;) {
            const int length = DecodeUtf8(p, end).Length;
            for (int i = 0; i < length; ++i) startOf[p - begin + i] = p;
            p += length;
        }
        for (std::size_t at = 1; at <= text.size(); ++at) {
            const unsigned char* lookFrom = begin + (at > 5 ? at - 5 + random() % 2 : 0);
            ASSERT_EQ(Utf8CharStart(lookFrom, begin + at, end), startOf[at - 1]) << round << " " << at;
        }
    }
}

TEST(CharSet, AFilesSetComesFromItsFirstBytes) {
    EXPECT_EQ(Detect(Bytes("plain ASCII\n")), TCharSets::csWindows1252);
    EXPECT_EQ(Detect(Bytes("")), TCharSets::csWindows1252);
    EXPECT_EQ(Detect(Bytes("\xEF\xBB\xBFplain")), TCharSets::csUtf8);
    EXPECT_EQ(Detect(Bytes("Caf\xC3\xA9 cr\xC3\xA8me")), TCharSets::csUtf8);
    EXPECT_EQ(Detect(Bytes("Caf\xE9 cr\xE8me")), TCharSets::csWindows1252);
    EXPECT_EQ(Detect(Bytes("Caf\xC3\xA9 then \xE9")), TCharSets::csWindows1252);
}

// The sample ends inside a sequence: that sequence neither confirms nor refutes UTF-8, unless the file
// really ends there.
TEST(CharSet, ASequenceCutByTheSamplesEdge) {
    const TBytes head = Bytes("\xC3\xA9") + TBytes(kCharSetSample - 4, 'x');
    for (const char* cut : {"\xE2\x82", "\xF0\x9F\x98"}) {
        const TBytes sample = head.substr(0, kCharSetSample - TBytes(Bytes(cut)).size()) + Bytes(cut);
        ASSERT_EQ(sample.size(), kCharSetSample);
        EXPECT_EQ(Detect(sample, false), TCharSets::csUtf8);
        EXPECT_EQ(Detect(sample, true), TCharSets::csWindows1252);
        EXPECT_EQ(Detect(TBytes(kCharSetSample - 2, 'x') + Bytes(cut).substr(0, 2), false),
                  TCharSets::csWindows1252); // nothing but the cut sequence
    }
    EXPECT_EQ(Detect(head.substr(0, kCharSetSample - 2) + Bytes("\xE0\x80"), false), TCharSets::csWindows1252);
}

// Text measured sixteen bytes at a time: the cells a fixed-pitch line fills never fall short of the
// cells its characters take, and are exact for plain text of one- to three-byte characters that are not
// wide; a proportional width is the sum of the characters' widths. Each text lies in a buffer of its own
// size, so that a read past its end shows under the address sanitizer.
TEST(Utf8, TextMeasuredInBlocksAsCharacterByCharacter) {
    TTextPos byteWidths[256];
    for (int c = 0; c < 256; ++c) byteWidths[c] = 5 + c % 3;
    TCodeWidths codes;
    codes.Reset(0, 7, byteWidths, [](char32_t code) { return TTextPos(code % 13 + 1); });
    TLayoutTables tables;
    tables.Widths = byteWidths;
    tables.Codes = &codes;
    std::mt19937 random(11);
    const std::vector<TBytes> pieces = {Bytes("a"), Bytes("\xC3\xA9"), Bytes("\xD0\x96"), Bytes("\xE2\x82\xAC"),
                                        Bytes("\xE6\x97\xA5"), Bytes("\xF0\x9F\x98\x80"), Bytes("\x80"),
                                        Bytes("\xE2\x82"), Bytes("\xC0\xAF"), Bytes("\xED\xA0\x80"), Bytes(" ")};
    for (int round = 0; round < 2000; ++round) {
        TBytes text;
        const std::size_t length = random() % 70;
        const bool plain = random() % 2;
        while (text.size() < length) text += pieces[random() % (plain ? 4 : pieces.size())];
        std::int64_t cells = 0, width = 0;
        for (const unsigned char* p = text.data(); p < text.data() + text.size();) {
            const TUtf8Char c = DecodeUtf8(p, text.data() + text.size());
            cells += IsWideChar(c.Code) ? 2 : 1;
            width += c.Code < 0x80 ? byteWidths[c.Code] : std::min<TTextPos>(codes.Width(c.Code), 7 * c.Length);
            p += c.Length;
        }
        const auto own = std::make_unique<unsigned char[]>(text.size());
        std::copy(text.begin(), text.end(), own.get());
        const auto size = static_cast<TTextPos>(text.size());
        ASSERT_EQ(TextWidth(own.get(), size, tables), width) << round;
        const std::int64_t counted = ByteScan::Utf8CellsAtMost(own.get(), own.get() + size);
        ASSERT_GE(counted, cells) << round;
        if (plain) ASSERT_EQ(counted, cells + std::count_if(text.begin(), text.end(), [](unsigned char c) {
                                                   return c >= 0xE0;
                                               })) << round << ": three-byte characters count twice";
    }
}
