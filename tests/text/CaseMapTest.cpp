#include "text/CaseMap.h"

#include <cstdint>
#include <gtest/gtest.h>

#include "text/Utf8.h"

namespace {

int Utf8Length(char32_t c) {
    unsigned char bytes[4];
    return EncodeUtf8(c, bytes);
}

std::uint32_t Hex(char32_t c) {
    return c;
}

} // namespace

// Every case change keeps the character's bytes, and comes back the other way but for the letters
// whose capital lowers to another letter.
TEST(CaseMap, CaseChangesKeepTheLengthAndReturn) {
    for (char32_t c = 0; c < 0x110000; ++c) {
        const char32_t upper = UpperCaseOf(c, TCharSets::csUtf8), lower = LowerCaseOf(c, TCharSets::csUtf8);
        ASSERT_EQ(Utf8Length(upper), Utf8Length(c)) << std::hex << Hex(c);
        ASSERT_EQ(Utf8Length(lower), Utf8Length(c)) << std::hex << Hex(c);
        ASSERT_FALSE(upper != c && lower != c) << std::hex << Hex(c);
        const bool oneWay = c == 0xB5 || c == 0x3C2; // the micro sign and the final sigma
        ASSERT_TRUE(lower == c || UpperCaseOf(lower, TCharSets::csUtf8) == c) << std::hex << Hex(c);
        ASSERT_TRUE(upper == c || oneWay || LowerCaseOf(upper, TCharSets::csUtf8) == c) << std::hex << Hex(c);
    }
    const char32_t pairs[][2] = {{U'q', U'Q'},   {0xE9, 0xC9},   {0xFE, 0xDE},   {0xFF, 0x178},
                                 {0x101, 0x100}, {0x142, 0x141}, {0x17E, 0x17D}, {0x3C9, 0x3A9},
                                 {0x3AD, 0x388}, {0x3CE, 0x38F}, {0x3CC, 0x38C}, {0x44F, 0x42F},
                                 {0x451, 0x401}, {0x4E9, 0x4E8}, {0x4CF, 0x4C0}, {0x586, 0x556}};
    for (const auto& [lower, upper] : pairs) {
        EXPECT_EQ(UpperCaseOf(lower, TCharSets::csUtf8), upper) << std::hex << Hex(lower);
        EXPECT_EQ(LowerCaseOf(upper, TCharSets::csUtf8), lower) << std::hex << Hex(upper);
    }
    // No partner of the same length: sharp s, dotless i, dotted capital I, long s; not letters: the
    // signs of multiplication and division.
    for (char32_t c : {0xDF, 0x131, 0x130, 0x17F, 0xD7, 0xF7, 0x138})
        EXPECT_TRUE(UpperCaseOf(c, TCharSets::csUtf8) == c && LowerCaseOf(c, TCharSets::csUtf8) == c)
            << std::hex << Hex(c);
}

// Windows-1252 text changes the case of ASCII and of the accented letters 192-254 only.
TEST(CaseMap, Windows1252KeepsItsBytes) {
    for (char32_t c = 0; c < 0x100; ++c) {
        const bool lower = (c >= 'a' && c <= 'z') || (c >= 224 && c <= 254 && c != 247);
        const bool upper = (c >= 'A' && c <= 'Z') || (c >= 192 && c <= 222 && c != 215);
        EXPECT_EQ(UpperCaseOf(c, TCharSets::csWindows1252), lower ? c - 32 : c) << Hex(c);
        EXPECT_EQ(LowerCaseOf(c, TCharSets::csWindows1252), upper ? c + 32 : c) << Hex(c);
    }
}
