#pragma once

// The key definitions by their place in the key table: the viewer's movements and copying first, then
// the editing commands. Each has accessors named after it (AltCopyKey, CancelKey ...).
enum TKeyIndex : int {
    kiAltCopy,
    kiCancel,
    kiCopy,
    kiLeftArrow,
    kiRightArrow,
    kiWordLeft,
    kiWordRight,
    kiLineStart,
    kiLineEnd,
    kiLineUp,
    kiLineDown,
    kiPageUp,
    kiPageDown,
    kiTextStart,
    kiTextEnd,
    kiScrollUp,
    kiScrollDown,
    kiBackSpace,
    kiInsert,
    kiNewLine,
    kiDeleteLine,
    kiDelete,
    kiDeleteWord,
    kiCut,
    kiAltCut,
    kiPaste,
    kiAltPaste,
    kiDelLineEnd,
    kiDelLineStart,
    kiUndo,
    kiRedo,
    kiCount
};
