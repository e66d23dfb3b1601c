#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editor/IdleDriver.h"
#include "editor/LinesViewer.h"
#include "text/LinesBuffer.h"
#include "text/TextWriter.h"

class QMimeData;

enum class TPageBreakDisplayModes { pbNever, pbAlways, pbWYSIWYG };

// Binds the display model to a text model. One walking cursor (the line walker) steps from display line
// to display line and jumps between the few anchors whose numbers are known (the caret line, the top
// line, the selection ends); a background scan lays the whole text out in idle steps, counting lines and
// pages. Until the scan has reached the end, the line count and far line numbers
// are estimates (Estimated), corrected with a repaint when the scan passes them. No table of line
// starts is ever kept.
class TTextViewer : public TLinesViewer, public TIdleWork {
    Q_OBJECT
public:
    explicit TTextViewer(QWidget* parent = nullptr);
    ~TTextViewer() override;

    TLinesBuffer* TextBuffer() const { return m_TextBuffer.get(); }
    // Takes the text model; the previous one is released.
    virtual void SetTextBuffer(std::unique_ptr<TLinesBuffer> buffer);

    // The character set the text's bytes are read in; a change lays the text out again.
    void SetCharSet(TCharSets set);
    TWrapModes WrapMode() const { return m_WrapMode; }
    void SetWrapMode(TWrapModes mode);
    TTextPos MaxLineLength() const { return m_MaxLineLength; }
    void SetMaxLineLength(TTextPos chars);
    bool ShowLineBreaks() const { return m_ShowLineBreaks; }
    void SetShowLineBreaks(bool show);
    TPageBreakDisplayModes ShowPageBreaks() const { return m_ShowPageBreaks; }
    void SetShowPageBreaks(TPageBreakDisplayModes mode);
    bool AutoIdle() const { return m_AutoIdle; }
    void SetAutoIdle(bool on) { m_AutoIdle = on; }
    TSaveMode SaveMode() const { return m_SaveMode; }
    void SetSaveMode(TSaveMode mode) { m_SaveMode = mode; }

    // The selection and what leaves the editor through it.
    static const char* const ColumnTextFormat; // the clipboard format of a copied rectangle
    void SetSelection(TViewPos start, TViewPos end, TSelModes mode) override;
    TTextPos SelectionSize();
    TTextPos SelStartOffset() const { return m_Sel.StartOffset; }
    TTextPos SelEndOffset() const { return m_Sel.EndOffset; }
    TTextPos ColLeft() const { return m_Sel.ColLeft; }
    TTextPos ColRight() const { return m_Sel.ColRight; }
    void SelectAll() override;
    void CopyToClipboard() override;
    // The selected bytes; a column gives each line's slice followed by CR LF.
    std::string GetSelectedText();
    void SaveSelectionToFile(const std::filesystem::path& name);
    // The word at the caret (at most 255 bytes), or else the search text.
    std::string WordAtCaret();
    std::string GetLineText(TTextPos line, TTextPos start, TTextPos count);
    // Searches for `text` in the search syntax; a hit becomes the selection. FindNext goes on from the
    // selection; a dialog covering the hit is moved off it.
    bool Find(QWidget* dialog, const std::string& text, TFindOptions options);
    virtual bool FindNext(QWidget* dialog);
    const std::string& SearchText() const { return m_SearchText; }

    // Tab stops of the layout layer, in inches.
    int TabStopCount() const { return m_TextBuffer ? m_TextBuffer->NumTabStops() : 0; }
    void SetTabStopCount(int count);
    float GetTabStop(int index) const { return m_TextBuffer->GetTabStop(index); }
    void SetTabStop(int index, float inches);

    // The caret's column: right of its line's end (where it may stand without WPMode) the character
    // index counts the spaces that typing there fills in.
    TTextPos CaretColumn() const;
    // The width of a space, by which the layout fills a line up to the caret.
    TTextPos SpaceWidth() const;
    bool Estimated() const { return m_Estimated; }
    bool LayoutComplete() const { return m_LayoutComplete; }
    TTextPos MaxLineWidth() const override { return m_MaxLineWidth; }

    void GoToOffset(TTextPos offset, bool updateNow) override;
    // The Go to Line command: lines count from 1 and hard page-break lines are not counted. A line far
    // beyond what the scan has counted is placed by estimate at once, and the caret moves to the line
    // itself once the scan has passed it. A line past the end of a text counted to its end raises
    // "The specified line does not exist".
    void GoToLine(TTextPos number);
    void GoToBookmark(int handle);
    TTextPos PosToOffset(TViewPos pos);
    TViewPos OffsetToPos(TTextPos offset);
    TTextPos CaretOffset() override;
    TTextPos TextSize() const override;
    TTextPos PageToLine(TTextPos page) override;
    TTextPos LineToPage(TTextPos line) override;
    // The layout from `offset` on is stale (after an edit there, or an estimated jump).
    void RelayoutFrom(TTextPos offset);
    // Counts every line and page now, in busy mode; false when the user abandons it.
    bool CompleteLayout() {
        return ScanWhile([] { return true; });
    }
    // The printer, its paper or the printer metrics changed: the page length and the printer's width
    // are measured again and the text laid out anew.
    void PrinterChanged();
    // One unit of background work; `done` when there is none left.
    void IdleStep(bool& done) override;
    bool IdleBlocked() const override { return m_State & sfBusy; }
    // Clears the text model and the view.
    void Reset() override;
    // Starts the view over on the text the model holds now (a document was bound to it).
    void TextLoaded();

    std::function<void(TTextViewer& sender)> OnWrapModeChange;

    // The walker's line, for the line-level operations of the descendants.
    TTextPos WalkStart() const { return m_WalkStart; }
    TTextPos WalkLength() const { return m_WalkLength; }
    TTextPos WalkLine() const { return m_WalkLine; }
    TTextPos WalkNext() const { return m_WalkNext; }

protected:
    void GetLineInfo(TTextPos& line, TTextPos& endX, TTextPos& sectionStart, TTextPos& lineBase,
                     TTextPos& page, TTextPos& length) override;
    TTextPos CharToX(TTextPos ch) override;
    TTextPos NextCharOnLine(TTextPos ch) override;
    TTextPos PrevCharOnLine(TTextPos ch) override;
    TTextPos CharStartOnLine(TTextPos ch) override;
    void XToChar(TTextPos& x, TTextPos& ch) override;
    void DrawLines(TTextPos y, TTextPos firstLine, TTextPos count) override;
    void FontMeasured() override;
    void ZoomChanged() override { Relayout(); }
    void ResizeHorz() override;
    void VertScrolled() override;
    void CaretMoved() override;
    TViewPos WordStart(TViewPos pos) override;
    TViewPos WordEnd(TViewPos pos) override;
    TViewPos WordAndSpacesEnd(TViewPos pos) override;
    TViewPos PointToPos(TTextPos x, TTextPos line) override;
    void MouseUpSelect() override;
    bool WrapsAtWindow() const override { return m_WrapMode == TWrapModes::opWrapScreenWidth; }
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

    // Printing: the text is laid out for the printer during the job, page by page as it prints.
    void BeginPrint(bool usePrinterWrap) override;
    void EndPrint() override;
    TPrintRange PrintRangeLines(int printRange, TTextPos fromPage, TTextPos toPage) override;
    bool PrintPageLines(TTextPos& line, TTextPos last, TTextPos page, int printRange) override;
    // Prints the walker's line at (x, y), tabs counted from x; of the selection's first and last line
    // only the selected part (with range 1), of a column only its slice.
    virtual void PrintLine(TTextPos x, TTextPos y, int printRange);

    // The walker.
    bool NextLine();
    bool PrevLine();
    // Walks to the line holding `offset`, from the nearest anchor.
    void WalkToOffset(TTextPos offset);
    // Walks to display line `line`; an estimated jump is allowed for far lines when `estimate`.
    void WalkToLine(TTextPos line, bool estimate);

    // Lays the text out again for the current wrap mode, keeping the caret and the selection.
    void Relayout();
    // One step of the background scan.
    void ScanStep();
    // Lays out, in bulk, the lines before the next anchor, form feed or the text's last line, within
    // the step's text.
    void ScanInBulk(TTextPos stepEnd);
    // The scan moves on by `lines` lines to the line start `pos`, counting pages, and notes what kind
    // of line starts there.
    void AdvanceScan(TTextPos lines, TTextPos pos);
    void CountScanPage();
    // A line of `width` pixels was laid out: the horizontal range follows the widest.
    void NoteLineWidth(TTextPos width);
    // The scan laid out everything before `next`: line numbers it has passed are exact.
    void NoteScannedTo(TTextPos next);

    std::unique_ptr<TLinesBuffer> m_TextBuffer;
    bool m_Estimated = false;
    TSaveMode m_SaveMode = TSaveMode::smPrompt;
    bool m_ShowLineBreaks = false;
    TPageBreakDisplayModes m_ShowPageBreaks = TPageBreakDisplayModes::pbAlways;
    TWrapModes m_WrapMode = TWrapModes::opWrapScreenWidth;
    TTextPos m_MaxLineLength = 0;
    TTextPos m_MaxLineWidth = 0;
    TTextPos m_ScanPage = 1;
    TTextPos m_AvgLinesPerPage = 1;
    std::vector<TTextPos> m_HardBreakLines;
    TTextPos m_WalkHardIndex = -1;
    bool m_AutoIdle = false;
    std::unique_ptr<TIdleDriver::TRegistration> m_FocusIdle; // AutoIdle's, while the focus is here
    TTextPos m_TopStart = 0;
    // The walker.
    TTextPos m_WalkNext = 0, m_WalkPrev = 0, m_WalkStart = 0, m_CaretStart = 0, m_WalkLine = 0,
             m_WalkLength = 0;
    TTextPos m_WalkEndX = 0, m_WalkPage = 1;
    int m_WalkBreak = 0;
    bool m_WalkEnded = false; // the walker's line ends with a line break
    // The scan.
    TTextPos m_ScanPos = 0, m_ScanLine = 0;
    int m_ScanBreak = 0;
    bool m_LayoutComplete = true;
    int m_ScanDepth = 0;
    std::string m_SearchText;
    TFindOptions m_SearchOptions = frDown;

    // Lays out the walker's current line from WalkStart.
    void LayOutWalkLine();

    // Where a change of the text at some position leaves the layout untouched: the display line before
    // the one holding it, whose start and number no change there can alter.
    struct TChangeStart {
        TTextPos Offset = 0, Line = 0, Page = 1;
    };
    // Called before the text changes at `pos`.
    TChangeStart BeforeChange(TTextPos pos);
    // Called after the text changed at or after `from`: lays the display out again from there, marks the
    // rest for the scan, removes the selection and puts the caret at `caret`.
    void AfterChange(const TChangeStart& from, TTextPos caret);
    TTextPos WordStartOffset(TTextPos offset);
    TTextPos WordEndOffset(TTextPos offset);
    // The search of the last Find, and its options.
    TFindOptions SearchOptions() const { return m_SearchOptions; }

    std::string CopyColumn();

private:
    // The selection as the clipboard takes it: a stream as a snapshot read when someone pastes it, a
    // column as its bytes, made in busy mode when `busy`.
    std::unique_ptr<QMimeData> SelectionMime(bool busy);
    void OfferPrimary();
    TTextPos XOfChar(TViewPos pos);
    // The index of the character after index `ch` on the display line from `start`, `length` long.
    TTextPos CharAfterIn(TTextPos start, TTextPos length, TTextPos ch);
    // A place inside a character moved to its start.
    TViewPos AtCharStart(TViewPos pos);
    void SelectHit(TTextPos start, TTextPos end);
    void MoveDialogOffCaret(QWidget& dialog);
    // Puts the walker on the line holding `offset`, numbered `line` on page `page`. Where one line ends
    // and the next begins without a line break between (a soft wrap or a page break), the offset is
    // taken as OffsetToPos takes it, unless it is known to be a line start.
    void JumpTo(TTextPos offset, TTextPos line, TTextPos page, bool lineStart = false);
    // Walking line by line to an offset more than `distance` bytes from the walker would take long:
    // the walker is placed there by its proportion of the bytes instead, and the numbers are estimates
    // until the scan gets there. Returns whether it jumped.
    bool JumpIfFar(TTextPos offset, TTextPos distance);
    // Whether the word that holds or ends at `pos` begins before `lineStart`.
    bool WordGoesOnBefore(TTextPos pos, TTextPos lineStart);
    // A position right before a page break belongs to the end of the line before it, unless that line
    // ends with a line break.
    bool EndsLineBeforePageBreak(TTextPos pos) const {
        return m_TextBuffer->IsFormFeedAt(pos) && !m_TextBuffer->IsLineBreakAt(pos - 1);
    }
    void RecomputeHardIndex();
    int BreakKind(TTextPos line, TTextPos hardIndex) const;
    bool SoftBreakBefore(TTextPos line, TTextPos hardIndex) const;
    // Puts the walker on line 0.
    void Restart();
    // Starts the background scan over from the beginning of the text.
    void RestartScan();
    // Extrapolates the line count from what the scan has counted so far.
    void Estimate();
    // Hands the layout layer the wrap width of the current mode and sets MaxLineWidth.
    void ApplyWrapWidth();
    void DrawPageBreakBar(TTextPos y);
    void DrawSelection(TTextPos y);
    // Runs the scan while `more` holds, reporting progress in busy mode; false when the user abandons.
    bool ScanWhile(const std::function<bool()>& more);
    // The scan counts the line after the walker's before the walker steps there, so that the walker's
    // page numbers stay exact while printing runs ahead of the background scan.
    void KeepScanAhead();
    // The pages from `fromPage` to `toPage` of the text, for printing.
    TPrintRange PageRange(TTextPos fromPage, TTextPos toPage);
    TPrintRange SelectionRange();

    // The line an estimated Go to Line is to reach (0: none pending), where it put the caret and on
    // which row of the window.
    TTextPos m_PendingLine = 0, m_PendingOffset = 0, m_PendingRow = 0;
    void PutCaretOnLine(TTextPos number, bool estimate);
    // Moves the caret from the estimated line to the line asked for, keeping its row on the screen.
    void FinishGoToLine();
    TTextPos m_SavedCaretOffset = 0, m_SavedCaretRow = 0; // where the caret was before a print job
    TLineAnchor m_PrintFirst;                             // the first line of the range being printed
    QTimer m_PrimaryTimer; // offers the selection as the primary selection once it stops changing
};
