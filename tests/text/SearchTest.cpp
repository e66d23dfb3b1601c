#include <gtest/gtest.h>
#include <random>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/Exceptions.h"
#include "text/SearchSyntax.h"
#include "text/WordChars.h"

namespace {

bool Equal(unsigned char a, unsigned char b, bool matchCase) {
    auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
    return matchCase ? a == b : lower(a) == lower(b);
}

// The answer Find must give, by trying every position of a plain copy of the text.
TTextPos BruteForce(const std::string& text, TTextPos pos, const std::string& pattern, TFindOptions options) {
    const auto size = static_cast<TTextPos>(text.size());
    const auto length = static_cast<TTextPos>(pattern.size());
    pos = std::clamp<TTextPos>(pos, 0, size - 1);
    auto matchesAt = [&](TTextPos s) {
        if (s < 0 || s + length > size) return false;
        for (TTextPos i = 0; i < length; ++i)
            if (!Equal(text[s + i], pattern[i], options & frMatchCase)) return false;
        if (!(options & frWholeWord)) return true;
        return (s == 0 || !IsWordChar(text[s - 1])) && (s + length == size || !IsWordChar(text[s + length]));
    };
    if (options & frDown) {
        for (TTextPos s = pos; s < size; ++s)
            if (matchesAt(s)) return s;
    } else {
        for (TTextPos s = pos - length + 1; s >= 0; --s)
            if (matchesAt(s)) return s;
    }
    return -1;
}

TTextPos Find(TLinesBuffer& text, TTextPos pos, const std::string& pattern, TFindOptions options) {
    return text.Find(pos, pattern, options) ? pos : -1;
}

TEST(Search, AgreesWithABruteForceSearch) {
    std::mt19937 random(3);
    const std::string alphabet = "aAbBcC  __\xE9\xC9-\r\n0";
    for (int round = 0; round < 120; ++round) {
        std::string text(static_cast<size_t>(1 + random() % 3000), ' ');
        for (char& c : text)
            c = alphabet[random() % alphabet.size()];
        for (TTextPos blockSize : {16, 4096}) {
            auto model = TextOver(text, blockSize);
            for (int query = 0; query < 12; ++query) {
                const size_t length = 1 + random() % (query < 2 ? 256 : 6);
                std::string pattern = text.substr(random() % text.size(), length);
                if (query % 3 == 0) pattern[random() % pattern.size()] ^= 0x20; // often differs in case only
                const TTextPos pos = static_cast<TTextPos>(random() % (text.size() + 2)) - 1;
                for (TFindOptions options = 0; options < 8; ++options) {
                    const TFindOptions flags = (options & 1 ? frDown : 0u) |
                                               (options & 2 ? frMatchCase : 0u) |
                                               (options & 4 ? frWholeWord : 0u);
                    ASSERT_EQ(Find(*model, pos, pattern, flags), BruteForce(text, pos, pattern, flags))
                        << "round " << round << " block " << blockSize << " pos " << pos << " options "
                        << flags << " pattern length " << pattern.size();
                }
            }
        }
    }
}

// What the comparison with a brute-force search cannot show: which bytes make words (it asks the same
// table), matches at the very end, which its random positions seldom reach, and a pattern's length.
TEST(Search, WordCharactersTheTextsEndAndPatternLengths) {
    auto text = TextOver(std::string("cats concat cat_x \xE9") + "cat cat");
    EXPECT_EQ(Find(*text, 0, "cat", frDown | frWholeWord), 23)
        << "not in cats, concat, cat_x, nor after an \xE9";
    EXPECT_EQ(Find(*text, 22, "cat", frDown), 23) << "the last word, from just before it";
    EXPECT_EQ(Find(*text, 25, "cat", 0), 23) << "backwards, a match ending at the last byte";
    EXPECT_EQ(Find(*text, 0, "", frDown), -1);

    const std::string longest(256, 'q');
    auto qs = TextOver("x" + longest + "x");
    EXPECT_EQ(Find(*qs, 0, longest, frDown), 1);
    EXPECT_EQ(Find(*qs, 300, longest, 0), 1);
    EXPECT_EQ(ErrorOf<EFindStringError>([&] { Find(*qs, 0, longest + "q", frDown); }),
              "Search String exceeds 256 characters");
}

TEST(Search, StatusIsReportedPerBlockAndCanCancel) {
    auto text = TextOver(std::string(20000, 'x') + "needle", 4096);
    std::vector<TTextPos> reports;
    text->OnSearchStatus = [&reports](TTextPos done, bool& cancelled) {
        reports.push_back(done);
        cancelled = reports.size() == 2;
    };
    EXPECT_EQ(Find(*text, 0, "needle", frDown), -1);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_LT(reports[0], reports[1]);
    reports.clear();
    text->OnSearchStatus = [&reports](TTextPos done, bool&) { reports.push_back(done); };
    EXPECT_EQ(Find(*text, 0, "needle", frDown), 20000);
    EXPECT_GE(reports.size(), 5u);
    reports.clear();
    EXPECT_EQ(Find(*text, 19000, "x", 0), 19000);
    EXPECT_TRUE(reports.empty());
}

TEST(Search, TypedTextTranslation) {
    EXPECT_EQ(TranslateSearchText("a^pb^P"), "a\r\nb\r\n");
    EXPECT_EQ(TranslateSearchText("^013^010"), "\r\n");
    EXPECT_EQ(TranslateSearchText("^t^T^l^L^^"), "\t\t\f\f^");
    EXPECT_EQ(TranslateSearchText("x^"), "x^");
    EXPECT_EQ(TranslateSearchText("^25"), "\x19");
    EXPECT_EQ(TranslateSearchText("^000^255"), std::string("\0\xFF", 2));
    for (const char* bad : {"^2x5", "^256", "^9999"})
        EXPECT_EQ(ErrorOf<EUserError>([bad] { TranslateSearchText(bad); }),
                  "Code after the ^ must be between 0 and 255 and be three digits long")
            << bad;
    EXPECT_EQ(ErrorOf<EUserError>([] { TranslateSearchText("^q"); }),
              "Unknown Character in search/replace text");

    auto text = TextOver("one\r\ntwo\ffour\t^");
    EXPECT_EQ(Find(*text, 0, TranslateSearchText("^p"), frDown), 3);
    EXPECT_EQ(Find(*text, 0, TranslateSearchText("^l"), frDown), 8);
    EXPECT_EQ(Find(*text, 0, TranslateSearchText("^t^^"), frDown), 13);
}

} // namespace
