#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "text/Utf8.h"
#include "text/WordChars.h"

namespace {

// The characters of a UTF-8 text, as reading forwards from its start splits them.
struct TChars {
    std::vector<TTextPos> Starts; // with the text's size last
    std::vector<char32_t> Codes;  // an invalid byte gives itself + 0x110000, unlike any character
};

TChars Split(const std::string& text) {
    TChars chars;
    const auto* begin = reinterpret_cast<const unsigned char*>(text.data());
    for (const unsigned char* p = begin; p < begin + text.size();) {
        const TUtf8Char c = DecodeUtf8(p, begin + text.size());
        chars.Starts.push_back(p - begin);
        chars.Codes.push_back(c.Valid ? c.Code : 0x110000 + *p);
        p += c.Length;
    }
    chars.Starts.push_back(static_cast<TTextPos>(text.size()));
    return chars;
}

char32_t Folded(char32_t c) {
    const bool upper = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7);
    return upper ? c + 0x20 : c;
}

// The answer Find must give in UTF-8, found character by character.
TTextPos BruteForce(const std::string& text, TTextPos pos, const std::string& pattern, TFindOptions options) {
    const TChars t = Split(text), p = Split(pattern);
    const auto count = static_cast<TTextPos>(t.Codes.size()), length = static_cast<TTextPos>(p.Codes.size());
    auto matchesAt = [&](TTextPos i) { // i: a character index
        if (i + length > count) return false;
        for (TTextPos k = 0; k < length; ++k) {
            const char32_t a = t.Codes[i + k], b = p.Codes[k];
            if (options & frMatchCase ? a != b : Folded(a) != Folded(b)) return false;
        }
        auto word = [&t](TTextPos k) { return t.Codes[k] < 0x110000 && IsWordCode(t.Codes[k]); };
        return !(options & frWholeWord) || ((i == 0 || !word(i - 1)) && (i + length == count || !word(i + length)));
    };
    const auto bytes = static_cast<TTextPos>(pattern.size());
    pos = std::clamp<TTextPos>(pos, 0, static_cast<TTextPos>(text.size()) - 1);
    TTextPos found = -1;
    for (TTextPos i = 0; i < count; ++i) {
        const TTextPos at = t.Starts[i];
        const bool inRange = options & frDown ? at >= pos : at + bytes - 1 <= pos;
        if (inRange && matchesAt(i)) {
            found = at;
            if (options & frDown) break;
        }
    }
    return found;
}

TTextPos Find(TLinesBuffer& text, TTextPos pos, const std::string& pattern, TFindOptions options) {
    return text.Find(pos, pattern, options) ? pos : -1;
}

} // namespace

TEST(Utf8Search, AgreesWithACharacterByCharacterSearch) {
    const std::vector<std::string> valid = {"a", "A", "_", " ", "-", "\n", "\xC3\xA9", "\xC3\x89", "\xC3\x9F",
                                            "\xC3\x97", "\xC3\xB7", "\xD0\x96", "\xD0\xB6", "\xE6\x97\xA5",
                                            "\xF0\x9F\x98\x80", "\xE2\x80\x94"};
    const std::vector<std::string> invalid = {"\x80", "\xC3", "\xE6\x97", "\xA9"};
    std::mt19937 random(11);
    for (int round = 0; round < 60; ++round) {
        std::string text;
        while (text.size() < 1 + random() % 2000)
            text += random() % 10 ? valid[random() % valid.size()] : invalid[random() % invalid.size()];
        for (TTextPos blockSize : {16, 4096}) {
            auto model = TextOver(text, blockSize);
            model->SetCharSet(TCharSets::csUtf8);
            for (int query = 0; query < 10; ++query) {
                std::string pattern;
                for (int n = 1 + random() % 3; n > 0; --n) pattern += valid[random() % valid.size()];
                const TTextPos pos = static_cast<TTextPos>(random() % (text.size() + 2)) - 1;
                for (TFindOptions options = 0; options < 8; ++options) {
                    const TFindOptions flags = (options & 1 ? frDown : 0u) | (options & 2 ? frMatchCase : 0u) |
                                               (options & 4 ? frWholeWord : 0u);
                    ASSERT_EQ(Find(*model, pos, pattern, flags), BruteForce(text, pos, pattern, flags))
                        << "round " << round << " block " << blockSize << " pos " << pos << " options " << flags
                        << " pattern " << pattern;
                }
            }
        }
    }
}

// The same bytes read as Windows-1252 keep the old rules: only ASCII letters fold, and every byte
// from 192 up is a letter of its own.
TEST(Utf8Search, TheSetDecidesWhatFoldsAndWhatMakesAWord) {
    const std::string text = "x \xC3\x89t\xC3\xA9 \xD0\x96\xD0\xB8\xD0\xB2 \xE6\x97\xA5\xE6\x9C\xAC";
    auto model = TextOver(text);
    EXPECT_EQ(Find(*model, 0, "\xC3\xA9t\xC3\xA9", frDown), -1);
    EXPECT_EQ(Find(*model, 0, "\xD0\x96", frDown | frWholeWord), -1);
    model->SetCharSet(TCharSets::csUtf8);
    EXPECT_EQ(Find(*model, 0, "\xC3\xA9T\xC3\xA9", frDown), 2);
    EXPECT_EQ(Find(*model, 0, "\xC3\xA9T\xC3\xA9", frDown | frMatchCase), -1);
    EXPECT_EQ(Find(*model, 0, "\xD0\x96", frDown | frWholeWord), -1) << "part of a Cyrillic word";
    EXPECT_EQ(Find(*model, 0, "\xD0\x96\xD0\xB8\xD0\xB2", frDown | frWholeWord), 8);
    EXPECT_EQ(Find(*model, 99, "\xE6\x97\xA5", frWholeWord), -1) << "part of a Japanese word";
}
