#pragma once

#include <algorithm>
#include <string>
#include <string_view>

#include "text/Canvas.h"
#include "text/RunMeasure.h"
#include "text/TextBuffer.h"

enum class TWrapModes { opNone, opWrapScreenWidth, opAbsoluteWrap, opPrinter };
enum class TlbModes { lbDisplay, lbPrinter };

// Options of a search, as bits of the find dialog's option set.
enum TFindOption : unsigned { frDown = 1, frMatchCase = 32, frReplace = 512, frReplaceAll = 1024, frWholeWord = 2048 };
using TFindOptions = unsigned;

// Turns the bytes of a text into display lines: knows the font's widths on the screen and on the
// printer, the tab stops and the wrap width, and answers layout questions by scanning the bytes from a
// known line start, block by block, so no answer costs more than the lines it scans. It also searches.
// Metrics are computed on first need and kept until the canvas, its font, the mode or the text changes.
class TLinesBuffer : public TTextBuffer {
public:
    static constexpr int MaxTabStops = 16;
    using TSearchStatus = std::function<void(TTextPos done, bool& cancelled)>;

    TCanvas* Canvas() const { return m_Canvas; }
    void SetCanvas(TCanvas* canvas);
    // Wrap width in layout pixels; 0 or less: lines end only at hard breaks.
    TTextPos MaxWidth() const { return m_MaxWidth; }
    void SetMaxWidth(TTextPos width) { m_MaxWidth = width; }
    // Lines are cut after this many bytes whatever the wrap width (1 MiB by default).
    TTextPos MaxLineBytes() const { return m_MaxLineBytes; }
    void SetMaxLineBytes(TTextPos bytes) { m_MaxLineBytes = std::max<TTextPos>(1, bytes); }
    TlbModes Mode() const { return m_Mode; }
    void SetMode(TlbModes mode);
    TOutputDevice OutputDevice() const { return m_OutputDevice; }
    void SetOutputDevice(TOutputDevice device);

    int NumTabStops() const { return m_NumTabStops; }
    void SetNumTabStops(int count);
    // Explicit tab stops, in inches from the left edge of the text.
    void SetTabStop(int index, float inches);
    float GetTabStop(int index) const;

    TTextPos ScreenAvgCharWidth();
    TTextPos PrinterAvgCharWidth();
    TTextPos LayoutAvgCharWidth();
    TTextPos FontHeight();
    TTextPos MaxCharWidth();
    // Screen width of a byte, at least 1 (1 without metrics).
    TTextPos ByteWidth(unsigned char c);

    // Lays out the display line starting at `pos`: `pos` moves to the next line's first byte, `count`
    // gets its characters without the break bytes and `width` its screen width. False when the text
    // ends without a line break (or `pos` is at the end).
    bool NextLineEnd(TTextPos& pos, TTextPos& width, TTextPos& count);
    // Moves `pos` back to the start of the hard line holding the byte before it.
    void FindLineStart(TTextPos& pos);
    // From a line start, moves `pos` over the characters wholly left of `x` and sets `width` to the x
    // reached. False when the text ends first.
    bool PosFromX(TTextPos& pos, TTextPos x, TTextPos& width);
    // Screen width of the bytes [from, to), stopping at a hard line break.
    TTextPos MeasureWidth(TTextPos from, TTextPos to);
    // Lays out bytes that are not in the text (without line breaks or form feeds) as a display line of
    // this text would start: the offset where the next display line begins, `count` when they all fit.
    // `atBreak` tells whether the line ends after a space or hyphen rather than inside a word.
    TTextPos WrapBytes(const unsigned char* bytes, TTextPos count, bool& atBreak);
    // The layout width of bytes that are not in the text, measured as at a line's start.
    TTextPos LayoutWidth(std::string_view bytes);
    std::string GetText(TTextPos pos, TTextPos count);

    // Draws `count` bytes from `pos` at (x, y) on the output device; tabs count from `tabOrigin`.
    void DrawRun(TTextPos x, TTextPos y, TTextPos tabOrigin, TTextPos count, TTextPos pos);
    // Draws on the screen over a cleared background from x to `right`, tabs counting from x.
    void DrawRunBuffered(TTextPos x, TTextPos y, TTextPos right, TTextPos count, TTextPos pos);

    // Called after each block a search has scanned; setting `cancelled` ends the search.
    TSearchStatus OnSearchStatus;
    bool SearchStatus(TTextPos done);
    // Finds `pattern` (at most 256 bytes) from `pos`; on success `pos` is the match's first byte.
    bool Find(TTextPos& pos, std::string_view pattern, TFindOptions options);

protected:
    enum : int { vCanvas = 1, vWidths = 2, vTabs = 4, vAll = 7 };
    // Drops the metrics so that they are computed again (a new text, font or device).
    void InvalidateMetrics() { m_Valid &= vCanvas; }

private:
    struct TDevice {
        TFontMetrics Metrics;
        TTextPos TabStops[MaxTabStops] = {};
        TTextPos UniformWidth = 0;
        bool Loaded = false;
    };

    bool EnsureMetrics(int need);
    // As EnsureMetrics for all metrics, raising EFontInfoError when they cannot be had.
    void RequireMetrics() {
        if (m_Valid != vAll) RequireMetricsSlow();
    }
    void RequireMetricsSlow();
    bool LoadPrinter();
    TLayoutTables Tables(const TDevice& widths, const TDevice& tabs) const;
    TLayoutTables LayoutTables() const;
    TLayoutTables ScreenTables() const { return Tables(m_Screen, m_Screen); }
    // Measures the text from `pos` towards `end` until a line ends (true) or `end` is reached.
    bool MeasureText(TTextPos& pos, TTextPos end, TRunState& state, const TLayoutTables& tables,
                     bool wrapAtSpaces, TTextPos limit);
    void DrawRunOn(TOutputDevice device, TTextPos x, TTextPos y, TTextPos tabOrigin, TTextPos count, TTextPos pos);
    // Bytes a whole-word search needs on either side of a candidate to see the neighbouring characters.
    TTextPos WordContext(bool wholeWord) const;
    bool FindForward(TTextPos& pos, std::string_view pattern, TFindOptions options);
    bool FindBackward(TTextPos& pos, std::string_view pattern, TFindOptions options);

    TCanvas* m_Canvas = nullptr;
    TTextPos m_MaxWidth = 0;
    TTextPos m_MaxLineBytes = 1 << 20;
    TlbModes m_Mode = TlbModes::lbDisplay;
    TOutputDevice m_OutputDevice = TOutputDevice::odDisplay;
    int m_NumTabStops = 0;
    float m_TabStops[MaxTabStops] = {};
    int m_Valid = 0;
    TDevice m_Screen;
    TDevice m_Printer;
    bool m_LayoutOnPrinter = false;     // layout widths are the printer's
    bool m_LayoutTabsOnPrinter = false; // layout tab stops are the printer's
};
