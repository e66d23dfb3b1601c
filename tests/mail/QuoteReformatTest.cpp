#include <gtest/gtest.h>

#include "FixedCanvas.h"
#include "TestFiles.h"
#include "mail/QuoteReformatter.h"

namespace {

// A text model laid out 8 pixels a character, wrapping after `chars` characters (not at all for 0).
struct TModel {
    TModel(const std::string& text, TTextPos chars, TTextPos blockSize = 16)
        : model(EditOver(text, blockSize)) {
        model->SetCanvas(&canvas);
        model->SetMaxWidth(chars * 8);
    }
    std::string Text() const { return model->GetText(0, model->TextSize()); }
    TFixedCanvas canvas{8};
    std::unique_ptr<TEditStream> model;
};

struct TReformatted {
    std::string Text;
    TTextPos End;
};

// Reformats [start, end) of `text` (to its end when end < 0) and applies the result.
TReformatted Reformat(const std::string& text, const std::string& oldQuote, const std::string& newQuote,
                      TTextPos chars, TTextPos start = 0, TTextPos end = -1) {
    TModel m(text, chars);
    if (end < 0) end = m.model->TextSize();
    TQuoteReformatter reformatter(*m.model, oldQuote, newQuote, std::string(m.model->LineBreakBytes()));
    EXPECT_TRUE(reformatter.Run(start, end, {}));
    reformatter.Output().ReplaceIn(*m.model, start, reformatter.ChangeEnd() - start);
    return {m.Text(), reformatter.NewPosition(end)};
}

} // namespace

TEST(QuotePrefix, TakesTheNameAndQuotePunctuation) {
    EXPECT_EQ(QuotePrefix("> text"), ">");
    EXPECT_EQ(QuotePrefix(">> text"), ">>");
    EXPECT_EQ(QuotePrefix("> > text"), ">");
    EXPECT_EQ(QuotePrefix("John> text"), "John>");
    EXPECT_EQ(QuotePrefix("|: text"), "|:");
    EXPECT_EQ(QuotePrefix("no punctuation at all"), "no punctuation at all"); // the whole line
    EXPECT_EQ(QuotePrefix("mail@host_name here"), "mail@host_name here");     // @ and _ are no quotes
    EXPECT_EQ(QuotePrefix(" > text"), "");
    EXPECT_EQ(QuotePrefix("\t> text"), "");
    EXPECT_EQ(QuotePrefix(""), "");
}

// Each case: the text, the old and new quotes, the wrap width in characters (0: none), the result.
TEST(QuoteReformatter, JoinsParagraphsAndWrapsThemUnderTheNewQuote) {
    const std::string words = "> one two three four five six seven eight nine ten eleven twelve\n";
    const std::string wrapped =
        ">  one two three \n> four five six \n> seven eight nine \n> ten eleven twelve\n";
    const std::string url = "http://example.org/a/very/long/path/to/a/page.html"; // 51 characters
    const std::string wide(40, '>');
    struct TCase {
        std::string Text, OldQuote, NewQuote;
        TTextPos Chars;
        std::string Expected;
    };
    std::vector<TCase> cases = {
        {">aaa\r\n>bbb\r\n>\r\n>ccc\r\n", ">", ">>", 0, ">>aaa bbb\r\n>>\r\n>>ccc\r\n"},
        // The space after the old quote stays, and the joining space comes on top.
        {"> aaa\n> bbb", ">", ">", 0, "> aaa  bbb"},
        // A line ending in a space or tab joins without another.
        {">aaa \n>bbb\t\n>ccc", ">", ">", 0, ">aaa bbb\tccc"},
        // Blanks before a separator go; a separator holding the quote and spaces is a separator too.
        {">aaa \t\n>  \n>bbb", ">", ">", 0, ">aaa\n>\n>bbb"},
        // Unquoted paragraphs are joined without a quote; their separators hold the new quote.
        {"aa\nbb\n\ncc", ">", "#", 0, "aa bb\n#\ncc"},
        // A hyphen at a line's end is joined with a space like any other end.
        {">co-\n>op", ">", ">", 0, ">co- op"},
        {">> aa\n>> bb\n>>\n>> cc", ">>", ">", 0, "> aa  bb\n>\n> cc"},
        {"> > aa\n> > bb", "> >", "|", 0, "| aa  bb"},
        {"John> aa\nJohn> bb", "John>", "> ", 0, ">  aa  bb"},
        // A deeper quote than the old one keeps its extra level as text.
        {">> aa\n>> bb", ">", ">", 0, ">> aa > bb"},
        {words + ">\n" + words, ">", "> ", 20, wrapped + "> \n" + wrapped},
        // The document's line break is written: CR LF here.
        {"> aa bb cc dd\r\n", ">", ">", 8, "> aa bb \r\n>cc dd\r\n"},
        // A word too wide for the line stays whole; a new quote as wide as the line carries one word.
        {"> aa bb\n", ">", wide, 40, wide + " aa \n" + wide + "bb\n"},
        {"aaaaaaaaaaaa bb\n", ">", ">", 5, "aaaaaaaaaaaa \nbb\n"},
        // Page breaks stay.
        {">aa\r\n\f\r\n>cc", ">", ">>", 0, ">>aa\r\n\f\r\n>>cc"},
        {">aa\n>bb\f>cc\n>dd", ">", ">", 0, ">aa bb\f>cc dd"},
        {"\f\n>aa\n>bb", ">", ">", 0, "\f\n>aa bb"},
        // Runs of separators keep the next paragraph's quote.
        {"> aaa\n\n\n> ccc", ">", ">", 0, "> aaa\n>\n>\n> ccc"},
        {"> aaa\n>\n\n  \n> ccc\n> ddd", ">", "|", 0, "| aaa\n|\n|\n|\n| ccc  ddd"},
        // A separator as the range's first line, and one that ends the text.
        {"\n> aaa\n> bbb\n>", ">", ">", 0, ">\n> aaa  bbb\n>"},
        // The final line break of the text stays.
        {">aa\n>bb\n", ">", "#", 0, "#aa bb\n"},
    };
    // The space after the old quote and the joining one hang at the end of the first line.
    for (const size_t length : {38u, 39u, 51u})
        cases.push_back({"> see\n> " + url.substr(0, length) + " and more\n", ">", "> ", 40,
                         ">  see  \n> " + url.substr(0, length) + " \n> and more\n"});
    for (const TCase& c : cases)
        EXPECT_EQ(Reformat(c.Text, c.OldQuote, c.NewQuote, c.Chars).Text, c.Expected)
            << ::testing::PrintToString(c.Text);
}

TEST(QuoteReformatter, TheRangeEndDecidesWhereItStops) {
    const std::string text = ">aa\n>bb\n>cc\n>dd";
    // Ending inside a line: that line is the last joined, and nothing after it changes.
    TReformatted r = Reformat(text, ">", "#", 0, 0, 6);
    EXPECT_EQ(r.Text, "#aa bb\n>cc\n>dd");
    EXPECT_EQ(r.End, 5);
    // Ending at the start of a line joins that line too.
    r = Reformat(text, ">", "#", 0, 0, 8);
    EXPECT_EQ(r.Text, "#aa bb cc\n>dd");
    EXPECT_EQ(r.End, 7);
    // Ending in the first line: only its quote changes.
    EXPECT_EQ(Reformat(text, ">", "#", 0, 0, 2).Text, "#aa\n>bb\n>cc\n>dd");
    // A paragraph after a separator is reformatted only when the range goes on past its first line.
    EXPECT_EQ(Reformat(">aa\n>\n>bb\n>cc", ">", "#", 0, 0, 8).Text, "#aa\n#\n>bb\n>cc");
    // Starting at a later line leaves the lines before it alone.
    EXPECT_EQ(Reformat(text, ">", "#", 0, 4).Text, ">aa\n#bb cc dd");
}

TEST(QuoteReformatter, FollowsThePrinterWidthsInThePrinterMode) {
    TModel m("> aa bb cc dd ee\n", 6);
    m.canvas = TFixedCanvas(8, 50); // 50 printer pixels a character: 6 characters are 300
    m.model->SetCanvas(&m.canvas);
    m.model->SetMode(TlbModes::lbPrinter);
    m.model->SetMaxWidth(300);
    TQuoteReformatter reformatter(*m.model, ">", ">", "\n");
    ASSERT_TRUE(reformatter.Run(0, m.model->TextSize(), {}));
    reformatter.Output().ReplaceIn(*m.model, 0, reformatter.ChangeEnd());
    EXPECT_EQ(m.Text(), "> aa \n>bb cc \n>dd ee\n");
}
