#pragma once

#include <memory>

#include <QString>

#include "ShownView.h"
#include "editor/TextViewer.h"

// What is wrong, if anything, with the display lines of `shown`: every line must have the start and page
// that `fresh` gives them after laying out `text` (the same bytes) anew, and the walker's line and the
// caret's page must agree with that layout.
template <typename TView>
QString LayoutFault(TShownView<TView>& shown, TShownView<TTextViewer>& fresh,
                    std::unique_ptr<TLinesBuffer> text) {
    TView& view = shown.view;
    shown.Settle();
    const TTextPos walkLine = view.WalkLine(), walkStart = view.WalkStart(), caretPage = view.CaretPage();
    fresh.view.SetTextBuffer(std::move(text));
    fresh.Resize(view.viewport()->size());
    fresh.Settle();
    if (fresh.view.PosToOffset({0, walkLine}) != walkStart)
        return QString("the walker's line %1 is off").arg(walkLine);
    if (caretPage != fresh.view.LineToPage(view.CaretLine())) return "the caret's page is off";
    if (view.SelMode() != TSelModes::smNone && (view.PosToOffset(view.SelStart()) != view.SelStartOffset() ||
                                                view.PosToOffset(view.SelEnd()) != view.SelEndOffset()))
        return "the selection's offsets are not its places'";
    if (view.LastLine() != fresh.view.LastLine())
        return QString("%1 lines, not %2").arg(view.LastLine() + 1).arg(fresh.view.LastLine() + 1);
    // Every line in order: the walk steps on, or jumps to an anchor that claims the line.
    for (TTextPos line = 0; line <= view.LastLine(); ++line) {
        const TTextPos start = view.PosToOffset({0, line}), expected = fresh.view.PosToOffset({0, line});
        if (start != expected)
            return QString("line %1 starts at %2, not %3").arg(line).arg(start).arg(expected);
        if (view.LineToPage(line) != fresh.view.LineToPage(line))
            return QString("line %1's page is off").arg(line);
    }
    return {};
}
