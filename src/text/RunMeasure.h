#pragma once

#include "text/CodeWidths.h"
#include "text/TextPos.h"

// The measuring core of line layout: one pass over cached bytes that adds up widths, follows tab stops,
// remembers where a wrapped line may end and stops at a line break or the wrap limit.

// The tables of one device that a measurement uses.
struct TLayoutTables {
    const TTextPos* Widths = nullptr;   // 256 entries
    const TTextPos* TabStops = nullptr; // explicit stops in pixels, in the order they were set
    int NumTabStops = 0;
    TTextPos TabWidth = 1;     // default tab spacing, at least 1
    TTextPos UniformWidth = 0; // the width of every byte but TAB, LF, FF and CR when all are equal, else 0
    TTextPos WidestByte = 0;   // the widest of those bytes
    // UTF-8 text: the widths of the characters beyond ASCII, whose bytes the byte table does not
    // measure; null for Windows-1252 text, where every byte is a character.
    TCodeWidths* Codes = nullptr;
};

// A display line measured so far. Counts and widths run from the line's start across blocks.
struct TRunState {
    TTextPos Width = 0;
    TTextPos Count = 0;
    // The last place after a space or hyphen where a wrapped line may end (BreakCount 0: none yet).
    TTextPos BreakPos = 0;
    TTextPos BreakWidth = 0;
    TTextPos BreakCount = 0;
    int TabIndex = 0; // explicit stops before it have been passed on this line
};

enum class TRunEnd { Exhausted, LineEnded };

// Measures bytes[0 .. count) lying at text position `pos`. In UTF-8 a character is measured whole:
// callers hand over the bytes of a sequence together (Utf8WholeLength). A CR as the last byte is an ordinary
// character: callers hand over a CR LF pair whole. With `limit` > 0 a character that would pass it ends
// the line; with `wrapAtSpaces` spaces and hyphens may hang past it, the line ends after the last of
// them when there is one, and a line always takes at least one character. `next` receives the position
// of the next line's first byte, or pos + count when the bytes ran out first.
TRunEnd MeasureRun(const unsigned char* bytes, TTextPos count, TTextPos pos, TRunState& state,
                   const TLayoutTables& tables, bool wrapAtSpaces, TTextPos limit, TTextPos& next);

// Where a TAB at the state's width leads: the first explicit stop beyond it not yet passed on this
// line, else the next multiple of the default tab width. Stops passed are skipped for good.
TTextPos NextTabStop(const TLayoutTables& tables, TRunState& state);
// The same for a TAB at `width`, with `tabIndex` the first stop not yet passed.
TTextPos TabStopAfter(const TLayoutTables& tables, TTextPos width, int& tabIndex);

// The summed widths of bytes[0 .. count), which hold no TAB, LF, FF or CR.
TTextPos SumWidths(const unsigned char* bytes, TTextPos count, const TTextPos* widths);
// The same for the text of the tables' character set.
TTextPos TextWidth(const unsigned char* bytes, TTextPos count, const TLayoutTables& tables);
