// Commands of TBigEditor that rewrite a whole range at once: Flow Text, and the replacement of a range
// by a command's output as one undo step.

#include "editor/BigEditor.h"
#include "text/ParagraphFlow.h"

void TBigEditor::ReplaceRange(TTextPos pos, TTextPos count, TSpillText& text, TTextPos undoCaret,
                              TTextPos caret) {
    m_UndoCaretPos = undoCaret;
    const TChangeStart start = BeforeChange(pos);
    TUndoGroup group(*this); // the deletion and the insertion are one step, however the change ends
    try {
        text.ReplaceIn(Text(), pos, count);
    } catch (...) {
        AfterChange(start, pos);
        throw;
    }
    AfterChange(start, caret);
}

void TBigEditor::FlowText() {
    if (Text().WriteProtected()) return;
    const TTextPos caret = CaretOffset();
    const TSelModes mode = m_Sel.Mode;
    const TTextPos start = m_Sel.Exists() ? m_Sel.StartOffset : caret;
    const TTextPos end = m_Sel.Exists() ? m_Sel.EndOffset : TextSize();
    TParagraphFlow flow(Text(), start, end);
    flow.Marks = {caret, end};
    {
        TBusy busy(*this, end - start);
        if (!flow.Run([this](TTextPos done) { return PollAbort(done); })) return;
        if (flow.Joins() == 0) return;
        ReplaceRange(flow.ChangeStart(), flow.ChangeEnd() - flow.ChangeStart(), flow.Output(), caret,
                     flow.Marks[0]);
    }
    if (mode != TSelModes::smNone) SetSelection(OffsetToPos(start), OffsetToPos(flow.Marks[1]), mode);
    GoToOffset(flow.Marks[0], false);
}
