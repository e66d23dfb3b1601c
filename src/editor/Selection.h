#pragma once

#include "editor/ViewPos.h"
#include "text/SelModes.h"

// The selection of a viewer. Start never lies after End. A stream selection (smWords, smStream) covers
// the bytes StartOffset ... EndOffset; a column (smColumn) covers the lines Start.Line ... End.Line
// between the pixel columns ColLeft and ColRight. StartLine and EndLine are the display lines that
// hold the ends, whose numbers the line walker may jump to. Anchor is where extending the selection
// (Shift, Alt or the mouse) starts from; it counts also while nothing is selected (smNone).
struct TSelection {
    TSelModes Mode = TSelModes::smNone;
    TViewPos Start, End;
    TTextPos StartOffset = 0, EndOffset = 0;
    TLineAnchor StartLine, EndLine;
    TTextPos ColLeft = 0, ColRight = 0;
    TViewPos Anchor;

    bool Exists() const { return Mode != TSelModes::smNone; }
    bool IsColumn() const { return Mode == TSelModes::smColumn; }
    bool IsStream() const { return Mode == TSelModes::smWords || Mode == TSelModes::smStream; }
    // Whether display line `line` has part of the selection.
    bool OnLine(TTextPos line) const { return Exists() && line >= Start.Line && line <= End.Line; }
    // Whether `pos` lies between the ends of a selection that is not empty.
    bool Covers(TViewPos pos) const { return Exists() && Start != End && Start <= pos && pos <= End; }
    // Whether a text offset lies between the stream ends, both included.
    bool Holds(TTextPos offset) const { return offset >= StartOffset && offset <= EndOffset; }
    // The bytes between the stream ends.
    TTextPos StreamLength() const { return EndOffset - StartOffset; }
    // Nothing selected any more: the ends, offsets and column drop to their start values; the anchor
    // stays.
    void Remove() {
        const TViewPos anchor = Anchor;
        *this = {};
        Anchor = anchor;
    }
};
