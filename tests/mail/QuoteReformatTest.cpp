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

std::string Reformatted(const std::string& text, const std::string& oldQuote = ">",
                        const std::string& newQuote = ">", TTextPos chars = 0) {
    return Reformat(text, oldQuote, newQuote, chars).Text;
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

TEST(QuoteReformatter, JoinsParagraphsAndSeparatorsHoldTheNewQuote) {
    EXPECT_EQ(Reformatted(">aaa\r\n>bbb\r\n>\r\n>ccc\r\n", ">", ">>"), ">>aaa bbb\r\n>>\r\n>>ccc\r\n");
    // The space after the old quote stays, and the joining space comes on top.
    EXPECT_EQ(Reformatted("> aaa\n> bbb"), "> aaa  bbb");
    // A line ending in a space or tab joins without another.
    EXPECT_EQ(Reformatted(">aaa \n>bbb\t\n>ccc"), ">aaa bbb\tccc");
    // Blanks before a separator go; a separator holding the quote and spaces is a separator too.
    EXPECT_EQ(Reformatted(">aaa \t\n>  \n>bbb"), ">aaa\n>\n>bbb");
    // Unquoted paragraphs are joined without a quote; their separators hold the new quote.
    EXPECT_EQ(Reformatted("aa\nbb\n\ncc", ">", "#"), "aa bb\n#\ncc");
    // A hyphen at a line's end is joined with a space like any other end.
    EXPECT_EQ(Reformatted(">co-\n>op"), ">co- op");
}

TEST(QuoteReformatter, NestedQuotesAndNamePrefixes) {
    EXPECT_EQ(Reformatted(">> aa\n>> bb\n>>\n>> cc", ">>", ">"), "> aa  bb\n>\n> cc");
    EXPECT_EQ(Reformatted("> > aa\n> > bb", "> >", "|"), "| aa  bb");
    EXPECT_EQ(Reformatted("John> aa\nJohn> bb", "John>", "> "), ">  aa  bb");
    // A deeper quote than the old one keeps its extra level as text.
    EXPECT_EQ(Reformatted(">> aa\n>> bb", ">", ">"), ">> aa > bb");
}

TEST(QuoteReformatter, WrapsAtTheWidthUnderTheNewQuote) {
    const std::string words = "> one two three four five six seven eight nine ten eleven twelve\n";
    const std::string result = Reformat(words + ">\n" + words, ">", "> ", 20).Text;
    EXPECT_EQ(result, ">  one two three \n"
                      "> four five six \n"
                      "> seven eight nine \n"
                      "> ten eleven twelve\n"
                      "> \n"
                      ">  one two three \n"
                      "> four five six \n"
                      "> seven eight nine \n"
                      "> ten eleven twelve\n");
    // The document's line break is written: CR LF here.
    EXPECT_EQ(Reformat("> aa bb cc dd\r\n", ">", ">", 8).Text, "> aa bb \r\n>cc dd\r\n");
}

TEST(QuoteReformatter, AWordTooWideForTheLineStaysWhole) {
    const std::string url = "http://example.org/a/very/long/path/to/a/page.html"; // 51 characters
    for (const size_t length : {38u, 39u, 51u}) {
        const std::string word = url.substr(0, length);
        const std::string result = Reformat("> see\n> " + word + " and more\n", ">", "> ", 40).Text;
        // The space after the old quote and the joining one hang at the end of the first line.
        EXPECT_EQ(result, ">  see  \n> " + word + " \n> and more\n") << length;
    }
    // A new quote as wide as the width: each line carries one word after it.
    const std::string wide(40, '>');
    EXPECT_EQ(Reformat("> aa bb\n", ">", wide, 40).Text, wide + " aa \n" + wide + "bb\n");
    EXPECT_EQ(Reformat("aaaaaaaaaaaa bb\n", ">", ">", 5).Text, "aaaaaaaaaaaa \nbb\n");
}

TEST(QuoteReformatter, PageBreaksStay) {
    EXPECT_EQ(Reformatted(">aa\r\n\f\r\n>cc", ">", ">>"), ">>aa\r\n\f\r\n>>cc");
    EXPECT_EQ(Reformatted(">aa\n>bb\f>cc\n>dd", ">", ">"), ">aa bb\f>cc dd");
    EXPECT_EQ(Reformatted("\f\n>aa\n>bb", ">", ">"), "\f\n>aa bb");
}

TEST(QuoteReformatter, RunsOfSeparatorsKeepTheNextParagraphsQuote) {
    EXPECT_EQ(Reformatted("> aaa\n\n\n> ccc"), "> aaa\n>\n>\n> ccc");
    EXPECT_EQ(Reformatted("> aaa\n>\n\n  \n> ccc\n> ddd", ">", "|"), "| aaa\n|\n|\n|\n| ccc  ddd");
    // A separator as the range's first line, and one that ends the text.
    EXPECT_EQ(Reformatted("\n> aaa\n> bbb\n>"), ">\n> aaa  bbb\n>");
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
    // The final line break of the text stays.
    EXPECT_EQ(Reformatted(">aa\n>bb\n", ">", "#"), "#aa bb\n");
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
