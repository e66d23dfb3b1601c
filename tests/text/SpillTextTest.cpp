#include "text/SpillText.h"

#include <gtest/gtest.h>

#include "TestFiles.h"

TEST(SpillText, KeepsWhatIsWrittenInMemoryOrInAFileEitherWay) {
    for (const TTextPos limit : {1000, 7, 3}) {
        TSpillText forwards(limit);
        auto backwards = TSpillText::Backwards(64, limit);
        const std::string pieces[] = {"ab", "cdefghij", "k", "", "lmnopqrstuvwxyz"};
        std::string expected;
        for (const std::string& piece : pieces) {
            forwards.Append(piece);
            expected += piece;
        }
        for (auto piece = std::rbegin(pieces); piece != std::rend(pieces); ++piece)
            backwards->Prepend(*piece);
        EXPECT_EQ(forwards.Spilled(), limit < 26);
        EXPECT_EQ(forwards.Text(), expected);
        EXPECT_EQ(backwards->Text(), expected);

        // Into a text as a deletion and an insertion, which undo takes back together.
        auto model = EditOver("0123456789", 4);
        model->OnSaveUndo = [](TUndoState& state) { state.Linked = true; };
        backwards->ReplaceIn(*model, 2, 5);
        model->EndUndoGroup();
        EXPECT_EQ(model->GetText(0, model->TextSize()), "01" + expected + "789");
        model->CheckInvariants();
        model->Undo();
        EXPECT_EQ(model->GetText(0, model->TextSize()), "0123456789");
        model->Redo();
        EXPECT_EQ(model->GetText(0, model->TextSize()), "01" + expected + "789");
    }
}
