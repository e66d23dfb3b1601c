#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/EditStream.h"
#include "text/Exceptions.h"

namespace {

// Handles, their reuse and bookmarks moving with edits, undo and redo are checked against a model by the
// random undo test; here is what it never does: bad handles, and Clear with and without keeping them.
TEST(TextBuffer, BadBookmarkHandlesAndClear) {
    auto edit = EditOver("abc");
    TEditStream& text = *edit;
    text.AddBookmark(1);
    text.AddBookmark(2);
    EXPECT_EQ(text.GetBookmark(7), -1);
    EXPECT_EQ(text.GetBookmark(-1), -1);
    EXPECT_EQ(ErrorOf<EBookmarkError>([&] { text.DeleteBookmark(5); }), "Invalid Bookmark Handle");
    EXPECT_THROW(text.DeleteBookmark(-1), EBookmarkError);

    text.SetKeepBookmarks(true);
    text.Clear();
    EXPECT_EQ(text.GetBookmark(1), 2);
    text.SetKeepBookmarks(false);
    text.Clear();
    EXPECT_EQ(text.GetBookmark(0), -1);
}

TEST(TextBuffer, LineBreakQueries) {
    auto model = TextOver("a\r\nb\nc\rd\f\r\f\n\r", 16);
    TTextStream& text = *model;
    //                0 1 2 3 4 5 6 7 8 9 10 11 12
    for (TTextPos pos : {1, 2, 4})
        EXPECT_TRUE(text.IsLineBreakAt(pos)) << pos;
    // Not a break: a letter, a lone CR, a CR that is the last byte, and places outside the text.
    for (TTextPos pos : {0, 6, 12, 13, -1})
        EXPECT_FALSE(text.IsLineBreakAt(pos)) << pos;
    EXPECT_TRUE(text.IsFormFeedAt(8));
    EXPECT_FALSE(text.IsFormFeedAt(13));

    EXPECT_EQ(text.LastCharBeforeBreak(3), 0) << "after CR LF: the 'a'";
    EXPECT_EQ(text.LastCharBeforeBreak(5), 3) << "after a lone LF";
    EXPECT_EQ(text.LastCharBeforeBreak(9), 7) << "after a form feed";
    EXPECT_EQ(text.LastCharBeforeBreak(11), 8) << "CR before a form feed counts with the break";
    EXPECT_EQ(text.LastCharBeforeBreak(7), 7) << "after a lone CR: no break";
    EXPECT_EQ(text.LastCharBeforeBreak(0), 0);
    EXPECT_EQ(text.LastCharBeforeBreak(14), 14);

    EXPECT_EQ(TextOver("\nx")->LastCharBeforeBreak(1), -1) << "a break at byte 0 ends an empty line";
}

TEST(TextBuffer, CopyToBufferWalksBlocks) {
    auto text = TextOver("The quick brown fox jumps", 16);
    std::string out(40, '.');
    auto* dest = reinterpret_cast<unsigned char*>(out.data());
    EXPECT_EQ(text->CopyToBuffer(dest, 3, 13), 13);
    EXPECT_EQ(out.substr(0, 14), " quick brown .");
    EXPECT_EQ(text->CopyToBuffer(dest, 20, 40), 5) << "stops at the end of the text";
    EXPECT_EQ(text->CopyToBuffer(dest, 3, 0), 0);
    EXPECT_EQ(text->CopyToBuffer(dest, 25, 3), 0);
}

TEST(TextBuffer, ModifiedFlagAndEvents) {
    auto readOnly = TextOver("x"); // a plain text stream cannot be edited
    int events = 0;
    readOnly->OnModified = [&events](TTextBuffer&) { ++events; };
    readOnly->SetModified(true);
    EXPECT_FALSE(readOnly->Modified());
    EXPECT_EQ(events, 0);

    auto edit = EditOver("x");
    TEditStream& text = *edit;
    int changes = 0;
    text.OnModified = [&events](TTextBuffer&) { ++events; };
    text.OnChange = [&changes](TTextBuffer&) { ++changes; };
    text.InsertSpaces(1, 3000);
    text.InsertSpaces(0, 0);
    text.InsertString("", 0);
    EXPECT_EQ(text.TextSize(), 3001);
    EXPECT_EQ(text.GetText(0, 3001).find_first_not_of(' ', 1), std::string::npos);
    EXPECT_TRUE(text.Modified());
    EXPECT_EQ(events, 1);
    EXPECT_EQ(changes, 1);
    text.SetModified(true);
    EXPECT_EQ(events, 1) << "setting the value it has raises nothing";
    text.SetModified(false);
    EXPECT_EQ(events, 2);
}

} // namespace
