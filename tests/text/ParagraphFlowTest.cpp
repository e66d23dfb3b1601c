#include "text/ParagraphFlow.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

namespace {

struct TFlowed {
    std::string Text;
    TTextPos Caret;
    TTextPos End;
};

// Flows `text` over [start, end) (to the text's end when end < 0) in a model with 16-byte blocks, so
// that lines cross block edges, and applies the result; the caret starts at `caret`.
TFlowed Flow(const std::string& text, TTextPos start, TTextPos end = -1, TTextPos caret = 0) {
    auto model = EditOver(text, 16);
    if (end < 0) end = model->TextSize();
    TParagraphFlow flow(*model, start, end);
    flow.Marks = {caret, end};
    EXPECT_TRUE(flow.Run({}));
    flow.Output().ReplaceIn(*model, flow.ChangeStart(), flow.ChangeEnd() - flow.ChangeStart());
    model->CheckInvariants();
    return {model->GetText(0, model->TextSize()), flow.Marks[0], flow.Marks[1]};
}

std::string Flowed(const std::string& text, TTextPos start = 0, TTextPos end = -1) {
    return Flow(text, start, end).Text;
}

} // namespace

TEST(ParagraphFlow, JoinsTheLinesOfEachParagraph) {
    EXPECT_EQ(Flowed("aaa\r\nbbb\r\nccc\r\n\r\nddd"), "aaa bbb ccc\r\n\r\nddd");
    EXPECT_EQ(Flowed("aaa\nbbb\nccc\n\nddd"), "aaa bbb ccc\n\nddd"); // one byte goes for each break
    // A line of spaces is not a paragraph's end.
    EXPECT_EQ(Flowed("aa\n   \nbb"), "aa    bb");
    // Lines ending in a space or hyphen join without a space; the hyphen stays.
    EXPECT_EQ(Flowed("aaa \nbbb\nco-\nop"), "aaa bbb co-op");
    // The empty position after a final line break counts as a line: the break goes.
    EXPECT_EQ(Flowed("aa\nbb\n"), "aa bb ");
}

TEST(ParagraphFlow, PageBreaksEndParagraphsAndStay) {
    EXPECT_EQ(Flowed("xx\naa\f\nbb\ncc"), "xx aa\f\nbb cc");
    EXPECT_EQ(Flowed("xx\n\f\nbb"), "xx\n\f\nbb");
    EXPECT_EQ(Flowed("xx\nyy\n\n\f\nbb"), "xx yy\n\n\f\nbb");
    // A range ending right after a form feed inside a line, or at its end, keeps it.
    EXPECT_EQ(Flowed("ab\fcd", 0, 3), "ab\fcd");
    EXPECT_EQ(Flowed("aa\nab\f", 0, 6), "aa ab\f");
    EXPECT_EQ(Flowed("aa\nab\f\ncd", 0, 6), "aa ab\f\ncd");
}

TEST(ParagraphFlow, TheRangeDecidesWhichLinesJoin) {
    const std::string text = "x\ny\n\naa\nbb\ncc";
    // From a caret inside "bb": the line before the caret's stays apart.
    EXPECT_EQ(Flowed(text, 9), "x\ny\n\naa\nbb cc");
    // A selection that ends at the start of a line joins that line too; one ending inside a line joins
    // that line; one ending at a line's end leaves the next.
    EXPECT_EQ(Flowed("aa\nbb\ncc", 0, 3), "aa bb\ncc");
    EXPECT_EQ(Flowed("aa\nbb\ncc", 0, 4), "aa bb\ncc");
    EXPECT_EQ(Flowed("aa\nbb\ncc", 0, 5), "aa bb\ncc");
    EXPECT_EQ(Flowed("aa\nbb\ncc", 0, 2), "aa\nbb\ncc");
    // Ending on an empty line does not join the line before it to it.
    EXPECT_EQ(Flowed("aa\nbb\n\ncc", 0, 6), "aa bb\n\ncc");
}

TEST(ParagraphFlow, EndsOnTextsThatStartWithALineBreak) {
    EXPECT_EQ(Flowed("\nabc"), "\nabc");
    EXPECT_EQ(Flowed("\r\nabc"), "\r\nabc");
    EXPECT_EQ(Flowed("\n\nabc\ndef"), "\n\nabc def");
}

TEST(ParagraphFlow, JoinsAOneCharacterLineBeforeAnEmptyLine) {
    EXPECT_EQ(Flowed("aaa\nb\n\nccc"), "aaa b\n\nccc");
    EXPECT_EQ(Flowed("a\nb\n\nc\nd"), "a b\n\nc d");
    EXPECT_EQ(Flowed("a\nb\n\n\n\nc\nd"), "a b\n\n\n\nc d");
}

TEST(ParagraphFlow, TheCaretKeepsItsPlaceInTheText) {
    // After a removed break it moves back by the break and on by the space.
    EXPECT_EQ(Flow("aa\r\nbb\r\ncc", 0, -1, 5).Caret, 4);
    // At the start of a removed break it stays; inside one it goes to its start.
    EXPECT_EQ(Flow("aa\r\nbb", 0, -1, 2).Caret, 2);
    EXPECT_EQ(Flow("aa\r\nbb", 0, -1, 3).Caret, 2);
    // Before the flowed lines nothing moves; the range's end follows the text.
    const TFlowed flowed = Flow("xx\n\naa\r\nbb\r\ncc\r\n\r\ndd", 4, 18, 1);
    EXPECT_EQ(flowed.Text, "xx\n\naa bb cc\r\n\r\ndd");
    EXPECT_EQ(flowed.Caret, 1);
    EXPECT_EQ(flowed.End, 16);
}
