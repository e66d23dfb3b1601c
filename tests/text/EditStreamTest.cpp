#include "text/EditStream.h"

#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace {

void Type(TEditStream& text, TTextPos pos, const std::string& s) {
    for (char c : s)
        text.InsertString(std::string(1, c), pos++);
}

TEST(EditStream, TypingRunsAreOneStepAndAnotherPlaceStartsAnother) {
    auto text = EditOver("0123456789");
    Type(*text, 3, "abcde");
    EXPECT_EQ(text->UndoLevels(), 1);
    Type(*text, 1, "xy");
    EXPECT_EQ(text->UndoLevels(), 2);
    EXPECT_EQ(text->GetText(0, 20), "0xy12abcde3456789");
    EXPECT_EQ(text->Undo(), 1);
    EXPECT_EQ(text->Undo(), 3);
    EXPECT_EQ(text->GetText(0, 20), "0123456789");
    EXPECT_FALSE(text->Modified());
    text->Redo();
    EXPECT_TRUE(text->Modified());
    Type(*text, 0, "!");
    EXPECT_EQ(text->RedoLevels(), 0) << "an edit after an undo empties the redo history";
    EXPECT_EQ(text->VirtualStream().Count(), 3u) << "a typed run becomes one memory segment";
}

// A Backspace run long enough to cross block loads is still one step, and undoing it hands the view
// the caret it had when the run began.
TEST(EditStream, BackspaceRunAcrossBlocksRestoresTheFirstCaret) {
    auto text = EditOver(std::string(300, 'a'), 16);
    TTextPos caret = 250;
    text->OnSaveUndo = [&caret](TUndoState& state) { state.CaretPos = caret; };
    TTextPos restored = -1;
    text->OnUndo = [&restored](const TUndoInfo& record) { restored = record.CaretPos; };
    for (; caret > 200; --caret)
        text->Delete(caret - 1, 1);
    EXPECT_EQ(text->UndoLevels(), 1);
    EXPECT_EQ(text->Undo(), 200);
    EXPECT_EQ(restored, 250);
    EXPECT_EQ(text->TextSize(), 300);
}

// A limit above 0 on the history is kept by the random undo test; 0 turns recording off.
TEST(EditStream, LimitsOfTheHistoryAndOfTheText) {
    auto unrecorded = EditOver("abc");
    unrecorded->SetMaxUndoLevels(0);
    unrecorded->InsertString("x", 1);
    EXPECT_EQ(unrecorded->Undo(), 0);
    EXPECT_EQ(unrecorded->GetText(0, 9), "axbc");

    auto limited = EditOver("abc");
    limited->SetMaxTextSize(5);
    const std::string block = "12345";
    EXPECT_EQ(limited->InsertFromHandle(std::span(Bytes(block), 5), 3), 2) << "only what fits";
    limited->InsertString("z", 0);
    EXPECT_EQ(limited->GetText(0, 9), "abc12");

    EXPECT_EQ(ErrorOf<EInternalError>([&] { limited->InsertString("x", 6); }),
              "Insert past End of File - Please save the file to resynchronise editor");
    limited->Delete(4, 1);
    EXPECT_THROW(limited->Delete(4, 1), EInternalError);
}

TEST(EditStream, WriteProtection) {
    auto text = EditOver("abc");
    text->SetReadOnly(true);
    EXPECT_EQ(ErrorOf<EWriteProtectError>([&] { text->InsertString("x", 0); }), "Write protected!");
    int refused = 0;
    text->OnWriteProtect = [&refused](TEditStream&) { ++refused; };
    text->Delete(0, 1);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(text->GetText(0, 9), "abc");
    EXPECT_FALSE(text->Modified());
}

TEST(EditStream, AppendingKeepsTheCacheAndBindingEmptiesTheHistory) {
    auto text = EditOver(std::string(3000, 'a'));
    text->GetCharPtr(2999);
    Type(*text, 3000, "tail");
    EXPECT_EQ(text->VirtualStream().Size(), 3000) << "the last block had room: no reload, nothing committed";
    EXPECT_EQ(text->GetText(2998, 9), "aatail");

    int changes = 0;
    text->SetOnUndoChange([&changes] { ++changes; });
    text->SetStream(std::make_unique<TMemoryStream>());
    EXPECT_GT(changes, 0);
    EXPECT_EQ(text->Undo(), 0);
    EXPECT_EQ(text->Redo(), 0);
    EXPECT_EQ(text->TextSize(), 0);
}

TEST(EditStream, TheTextReadBetweenTheStepsOfAnUndoIsCurrent) {
    auto text = EditOver("0123456789");
    text->OnSaveUndo = [](TUndoState& state) { state.Linked = true; };
    text->Delete(6, 2);
    text->InsertString("XY", 1);
    text->EndUndoGroup();
    ASSERT_EQ(text->GetText(0, 20), "0XY1234589");
    std::vector<std::string> seen;
    text->OnAfterUndo = [&seen](TEditStream& model) { seen.push_back(model.GetText(0, model.TextSize())); };
    text->Undo();
    EXPECT_EQ(seen, (std::vector<std::string>{"01234589", "0123456789"}));
}

// With one level kept, the edits of a group, ended or still open, are still there for Undo to take
// back: a record that joins a group adds no level, so it never pushes an older level out.
TEST(EditStream, OneLevelKeepsAWholeGroup) {
    for (int end : {0, 1, 2}) {
        SCOPED_TRACE(end == 0   ? "group ended on a record"
                     : end == 1 ? "group ended on a pending run"
                                : "group open");
        auto text = EditOver("0123456789");
        text->SetMaxUndoLevels(1);
        Type(*text, 0, "a");
        text->Commit();
        bool grouping = true;
        text->OnSaveUndo = [&grouping](TUndoState& state) { state.Linked = grouping; };
        Type(*text, 6, "bb");
        if (end == 0) text->Commit();
        if (end < 2) text->EndUndoGroup();
        grouping = false;
        EXPECT_EQ(text->UndoLevels(), 1);
        text->Undo();
        EXPECT_EQ(text->GetText(0, 20), "a0123456789");
        text->CheckInvariants();
    }
}

} // namespace
