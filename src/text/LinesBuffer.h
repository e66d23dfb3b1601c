#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "text/Canvas.h"
#include "text/RunMeasure.h"
#include "text/TextBuffer.h"
#include "text/TextWindow.h"

enum class TWrapModes { opNone, opWrapScreenWidth, opAbsoluteWrap, opPrinter };
enum class TlbModes { lbDisplay, lbPrinter };

// Options of a search, as bits of the find dialog's option set.
enum TFindOption : unsigned { frDown = 1, frMatchCase = 32, frReplace = 512, frReplaceAll = 1024, frWholeWord = 2048 };
using TFindOptions = unsigned;

// Turns the bytes of a text into display lines: knows the font's widths on the screen and on the
// printer, the tab stops and the wrap width, and answers layout questions by scanning the bytes from a
// known line start, so no answer costs more than the lines it scans. It also searches. Metrics are
// computed on first need and kept until the canvas, its font, the mode or the text changes.
// Layout reads ahead through its own window on the text. Lines of a fixed-pitch font are cut where
// their line breaks, tabs and wrap points lie, found a block of bytes at a time; lines that cannot wrap
// nor be the widest are only counted; every other line is measured character by
// character through the width tables. All ways give the same lines.
class TLinesBuffer : public TTextBuffer {
public:
    TLinesBuffer() : m_Window(*this) {}

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
    // False lays every line out by measuring each byte: the reference that the shortcuts agree with.
    bool FastLayout() const { return m_FastLayout; }
    void SetFastLayout(bool value) { m_FastLayout = value; }
    // The most that layout reads ahead at a time (256 KB by default).
    TTextPos ReadAheadSize() const { return m_Window.MaxSize(); }
    void SetReadAheadSize(TTextPos size) { m_Window.SetMaxSize(size); }
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
    // Lays out display lines one after another from the line start `pos`, as NextLineEnd does, and
    // stops before a line that starts at or after `stop`, before the text's last line (the one that
    // reaches its end), after a line that a form-feed line follows, or after `maxLines` lines. `pos`
    // moves to the start of the first line not laid out and `maxWidth` rises to the widest line laid
    // out; returns how many were.
    TTextPos NextLineEnds(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth);
    // Whether the display line starting at `pos` (inside the text) is a page-break line: it starts with a
    // form feed. Read as layout reads, without moving the block cache.
    bool IsFormFeedLine(TTextPos pos) { return m_Window.ByteAt(pos) == 12; }
    // The `count` bytes at `pos` as layout reads them, valid until the text or its layout is used again;
    // null when they do not fit in the read-ahead window at once (a line longer than it).
    const unsigned char* LaidOutBytes(TTextPos pos, TTextPos count) {
        if (count > m_Window.MaxSize() || pos >= m_TextSize) return nullptr;
        TTextPos n = 0;
        return m_Window.At(pos, n, count);
    }
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
        TTextPos WidestByte = 0;
        mutable TCodeWidths Codes; // asked of the font as UTF-8 text meets them
        bool Loaded = false;
    };
    // A line laid out by a shortcut: Plain when it counted no TAB and no CR.
    struct TCutLine {
        TTextPos Next = 0, Count = 0, Width = 0;
        bool Ended = false, Plain = true;
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
    // The end of the display line starting at `start` when no wrap or break ends it first. In UTF-8 the
    // cut moves to a character's start (SnapCut) once layout reads that far.
    TTextPos LineCut(TTextPos start) const {
        return m_TextSize - start > m_MaxLineBytes ? start + m_MaxLineBytes : m_TextSize;
    }
    // Where reading from `pos` has `n` bytes at hand that reach the last character before the cut `end`
    // of the line from `start`: in UTF-8 the cut goes to the start of the character holding it, or past
    // that character when the line would hold none.
    void SnapCut(TTextPos start, TTextPos pos, TTextPos n, TTextPos& end, bool& snapped) {
        if (!snapped && pos + n + 3 >= end) {
            snapped = true;
            if (end < m_TextSize && CharSet() == TCharSets::csUtf8) end = CutAtChar(start, end);
        }
    }
    TTextPos CutAtChar(TTextPos start, TTextPos cut);
    // NextLineEnd with the metrics ensured.
    bool LayOutLine(TTextPos& pos, TTextPos& width, TTextPos& count, const TLayoutTables& tables);
    // The fixed-pitch shortcuts for one line from `start`; false leaves the line to measuring.
    bool UniformLine(TTextPos start, const TLayoutTables& tables, TCutLine& line);
    bool UniformUnwrapped(TTextPos start, TTextPos end, const TLayoutTables& tables, TCutLine& line);
    bool UniformWrapped(TTextPos start, TTextPos end, TTextPos fit, const TLayoutTables& tables,
                        TCutLine& line);
    // The screen width of a line that a shortcut laid out.
    TTextPos ScreenWidth(TTextPos start, const TCutLine& line);
    // Shortcuts of NextLineEnds: lines ended by LF (or CR LF) that cannot wrap, told apart by where
    // their breaks lie; lines inside a run of one repeated byte, by arithmetic.
    TTextPos PlainLines(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth,
                        const TLayoutTables& tables);
    TTextPos RunLines(TTextPos& pos, TTextPos stop, TTextPos maxLines, TTextPos& maxWidth,
                      const TLayoutTables& tables);
    // Measures the text from `pos` towards `end` until a line ends (true) or `end` is reached. With
    // `cut`, `end` is a line's cut, which SnapCut may move.
    bool MeasureText(TTextPos& pos, TTextPos& end, bool cut, TRunState& state, const TLayoutTables& tables,
                     bool wrapAtSpaces, TTextPos limit);
    void LoadCodeWidths(TDevice& device, TOutputDevice kind);
    // Draws characters at the x positions measured for them: the bytes themselves in Windows-1252.
    void DrawCodes(TOutputDevice device, TTextPos y, const std::vector<char32_t>& codes,
                   const std::vector<TTextPos>& xs, bool utf8);
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
    TTextWindow m_Window;
    bool m_FastLayout = true;
    bool m_LayoutOnPrinter = false;     // layout widths are the printer's
    bool m_LayoutTabsOnPrinter = false; // layout tab stops are the printer's
};
