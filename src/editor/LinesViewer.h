#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QElapsedTimer>
#include <QFont>
#include <QPointer>
#include <QTimer>

#include "editor/FlickerFreeControl.h"
#include "editor/KeyIndex.h"
#include "editor/KeyManager.h"
#include "editor/QtCanvas.h"
#include "editor/Selection.h"
#include "editor/WinScrollBar.h"
#include "text/MessageBox.h"
#include "text/TextPos.h"

class QPrinter;

enum class TLineNumberModes { lnFileRelative, lnPageRelative };
enum class TPagingModes { pmMoveToLine, pmCaretConstant };
enum class TDoubleClickModes { dcWordOnly, dcWordAndSpaces };

// The editor's state flags, reported through OnStateChange.
enum TStateFlag : unsigned {
    sfEmpty = 1,
    sfSelection = 2,
    sfSearchSet = 4,
    sfInsert = 8,
    sfMouseSelecting = 16,
    sfDragging = 32,
    sfBusy = 64,
    sfDropping = 128,
    sfModified = 256,
    sfCanUndo = 512,
    sfCanRedo = 1024,
    sfClipboardText = 2048,
    sfPrinting = 8192,
    sfGoToLine = 16384,
    sfSearching = 32768,
};

// Why the mouse pointer has the shape it has; the highest reason set wins.
enum TCursorReason : unsigned {
    crNormal = 1,
    crOverSelection = 2,
    crMarginBand = 4,
    crOnMargin = 8,
    crDragging = 16,
    crBusy = 32
};

// The accessors of key definition `Index` by its name, declared in a viewer class with a semicolon after.
// clang-format off
#define QV_KEY(Name, Index)                                                                                  \
    TKeyDefinition Name() const { return KeyCode(Index); }                                                   \
    void Set##Name(TKeyDefinition key) { SetKeyCode(Index, key); }                                           \
    static_assert(true)
// clang-format on

// The display model of the editor control: numbered display lines, the caret, scrolling both ways,
// zoom, busy mode and the events that report to the main window. It knows lines only through the
// line-level operations its descendant supplies.
class TLinesViewer : public TFlickerFreeControl {
    Q_OBJECT
public:
    explicit TLinesViewer(QWidget* parent = nullptr);
    ~TLinesViewer() override;

    TWinScrollBar& HorzScrollBar() { return *m_HorzScrollBar; }
    TWinScrollBar& VertScrollBar() { return *m_VertScrollBar; }

    // Caret and scrolling.
    void MoveCaretTo(TTextPos x, TTextPos line);
    void SetCaretLine(TTextPos line) { MoveCaretTo(m_CaretX, line); }
    void SetCaretChar(TTextPos ch);
    void SetTopLine(TTextPos line);
    void SetHorzOffset(TTextPos pixels);
    void SetLastLine(TTextPos line);
    virtual void GoToOffset(TTextPos offset, bool updateNow) = 0;
    void GoToOffsetKeepRow(TTextPos offset);
    void GoToPage(TTextPos page);
    void InvalidateAll();
    // Repaints the rows of display lines a ... b, given relative to TopLine, in either order.
    void InvalidateLines(TTextPos a, TTextPos b);
    void EnableUpdates(bool on);
    int Zoom() const { return m_Zoom; }
    // Refused with a beep: zooming out once the font is below 2 points, zooming in where a character of
    // the new size would not fit the window.
    void SetZoom(int level);
    // The caret's line number from 0, counted in the file or in its page as LineNumberMode says.
    TTextPos DisplayedLineNumber() const;
    void Clear();
    virtual void Reset();

    // Busy mode: input is refused, Esc asks to abandon the operation, progress is reported.
    void EnterBusy(TTextPos total);
    void ExitBusy();
    // Busy mode for a scope, left however the operation ends.
    class TBusy {
    public:
        TBusy(TLinesViewer& viewer, TTextPos total) : m_Viewer(viewer) { viewer.EnterBusy(total); }
        ~TBusy() { m_Viewer.ExitBusy(); }

    private:
        TLinesViewer& m_Viewer;
    };
    // Called between units of a long operation; false when it is to stop.
    bool PollAbort(TTextPos done);
    // A window that works beside long operations (a progress report with a Cancel button) keeps its
    // keys and mouse while the editor is busy.
    static void TakeInputWhileBusy(QWidget& window);

    // Printer metrics in inches, indexes 1 to 6: left, right, top, bottom margin, header, footer.
    float GetPrinterMetric(int index) const;
    void SetPrinterMetric(int index, float inches);
    void ComputePrinterLayout();
    // Left, top, right and bottom print margin in printer pixels.
    TTextPos PrintMargin(int side) const { return m_PrintMargins[side]; }

    // Prints a range: 0 everything, 1 the selection, 2 the pages fromPage ... toPage. Each sheet holds
    // one numbered page (a page-break line itself is not printed), with `header` (UTF-8) centred above
    // the text and, when `pageNumbers`, "Page n" below it, n counting the sheets of the copy. `title`
    // names the job. With `usePrinterWrap` the text is laid out at the printer's width and stays so.
    // All `copies` go into the one job.
    void Print(const std::string& header, const std::string& title, TTextPos toPage, TTextPos fromPage,
               int printRange, bool usePrinterWrap, bool pageNumbers, int copies = 1);

    TViewPos CaretPos() const { return {m_CaretChar, m_CaretLine}; }
    virtual TTextPos CaretOffset() = 0;
    virtual TTextPos TextSize() const = 0;
    TTextPos CaretLine() const { return m_CaretLine; }
    TTextPos CaretChar() const { return m_CaretChar; }
    TTextPos CaretX() const { return m_CaretX; }
    TTextPos TopLine() const { return m_TopLine; }
    TTextPos HorzOffset() const { return m_HorzOffset; }
    TTextPos LastLine() const { return m_LastLine; }
    TTextPos PageCount() const { return m_PageCount; }
    TTextPos CaretPage() const { return m_CaretPage; }
    TTextPos LineHeight() const { return m_LineHeight; }
    TTextPos CharWidth() const { return m_CharWidth; }
    TTextPos VisibleLines() const { return m_VisibleLines; }
    TTextPos LinesPerPage() const { return m_LinesPerPage; }
    TTextPos PrinterLineHeight() const { return m_PrinterLineHeight; }
    unsigned State() const { return m_State; }
    unsigned CursorReasons() const { return m_CursorReasons; }
    TTextPos LineEndX() const { return m_LineEndX; }
    TTextPos LineLength() const { return m_LineLength; }

    bool WPMode() const { return m_WPMode; }
    void SetWPMode(bool on) { m_WPMode = on; }
    bool BeepOn() const { return m_BeepOn; }
    void SetBeepOn(bool on) { m_BeepOn = on; }
    TLineNumberModes LineNumberMode() const { return m_LineNumberMode; }
    void SetLineNumberMode(TLineNumberModes mode) { m_LineNumberMode = mode; }
    TTextPos LeftMargin() const { return m_LeftMargin; }
    void SetLeftMargin(TTextPos pixels);
    TTextPos RightMargin() const { return m_RightMargin; }
    void SetRightMargin(TTextPos pixels);

    // Refuses an action: a beep when BeepOn.
    void Beep() const;

    // Key definitions by their TKeyIndex; 0 is unbound.
    static constexpr int KeyCount = kiCount;
    TKeyDefinition KeyCode(int index) const;
    void SetKeyCode(int index, TKeyDefinition key);
    TKeyDefinition QuickKey() const { return m_Keys.QuickKey(); }
    void SetQuickKey(TKeyDefinition key) { m_Keys.SetQuickKey(key); }
    QV_KEY(AltCopyKey, kiAltCopy);
    QV_KEY(CancelKey, kiCancel);
    QV_KEY(CopyKey, kiCopy);
    QV_KEY(LeftArrowKey, kiLeftArrow);
    QV_KEY(RightArrowKey, kiRightArrow);
    QV_KEY(WordLeftKey, kiWordLeft);
    QV_KEY(WordRightkey, kiWordRight);
    QV_KEY(LineStartKey, kiLineStart);
    QV_KEY(LineEndKey, kiLineEnd);
    QV_KEY(LineUpKey, kiLineUp);
    QV_KEY(LineDownKey, kiLineDown);
    QV_KEY(PageUpKey, kiPageUp);
    QV_KEY(PageDownKey, kiPageDown);
    QV_KEY(TextStartKey, kiTextStart);
    QV_KEY(TextEndKey, kiTextEnd);
    QV_KEY(ScrollUpKey, kiScrollUp);
    QV_KEY(ScrollDownKey, kiScrollDown);

    bool WantTabs() const { return m_WantTabs; }
    void SetWantTabs(bool on) { m_WantTabs = on; }
    bool DragMargin() const { return m_DragMargin; }
    void SetDragMargin(bool on) { m_DragMargin = on; }
    bool AutoScroll() const { return m_AutoScroll; }
    void SetAutoScroll(bool on) { m_AutoScroll = on; }
    TDoubleClickModes DoubleClickMode() const { return m_DoubleClickMode; }
    void SetDoubleClickMode(TDoubleClickModes mode) { m_DoubleClickMode = mode; }
    bool TripleClick() const { return m_TripleClick; }
    void SetTripleClick(bool on) { m_TripleClick = on; }
    TPagingModes PagingMode() const { return m_PagingMode; }
    void SetPagingMode(TPagingModes mode) { m_PagingMode = mode; }
    int DoubleClickTime() const { return m_DoubleClickTime; }
    // Milliseconds between automatic scrolling steps while the button is held (0: not scrolling).
    int AutoScrollInterval() const { return m_AutoScrollTimer.isActive() ? m_AutoScrollTimer.interval() : 0; }
    int ClickState() const { return m_ClickState; }

    // Caret movement; with Shift held the movement extends a stream selection, with Alt a column.
    void CharLeft();
    void CharRight();
    void WordLeft();
    void WordRight();
    void LineStart();
    void LineEnd();
    void LineUp();
    void LineDown();
    void PageUp();
    void PageDown();
    void TextStart();
    void TextEnd();
    void ScrollUp();
    void ScrollDown();
    // Removes the selection, its anchor staying.
    void Cancel();

    // The selection (see TSelection).
    const TSelection& Selection() const { return m_Sel; }
    TViewPos SelStart() const { return m_Sel.Start; }
    TViewPos SelEnd() const { return m_Sel.End; }
    TSelModes SelMode() const { return m_Sel.Mode; }
    TViewPos Anchor() const { return m_Sel.Anchor; }
    virtual void SetSelection(TViewPos start, TViewPos end, TSelModes mode);
    virtual void SelectAll() = 0;
    virtual void CopyToClipboard() = 0;

    std::function<void(TLinesViewer&sender)> OnAfterClear, OnBeforeClear, OnStateChange, OnCaretMoved,
        OnEnter, OnExit, OnChange;
    std::function<void(TLinesViewer& sender, TTextPos done, TTextPos total, bool& cancel)> OnProgressEvent;
    // Before each sheet a job prints: its number in the job and the job's sheet count (an estimate
    // while a long text is still being counted).
    std::function<void(TLinesViewer& sender, TTextPos page, TTextPos total)> OnPagePrint;
    // Asked when Esc was pressed during a long operation; Yes abandons it.
    std::function<void(TLinesViewer& sender, TModalResult& response)> OnAbortRequest;
    // Every key pressed in the editor, before the editor acts on it; setting `key` to 0 takes it.
    std::function<void(TLinesViewer& sender, int& key, Qt::KeyboardModifiers shift)> OnKeyDown;

protected:
    // The line-level operations of the descendant that binds a text.
    // `line` comes back as the line reached, which is lower when the text has fewer lines.
    virtual void GetLineInfo(TTextPos& line, TTextPos& endX, TTextPos& sectionStart, TTextPos& lineBase,
                             TTextPos& page, TTextPos& length) = 0;
    virtual TTextPos CharToX(TTextPos ch) = 0;
    // Character bounds on the caret's line, as indexes into it, for a text whose characters may take
    // several bytes: the character after, or before, the one at `ch`, and the start of the one holding it.
    virtual TTextPos NextCharOnLine(TTextPos ch) { return ch + 1; }
    virtual TTextPos PrevCharOnLine(TTextPos ch) { return ch - 1; }
    virtual TTextPos CharStartOnLine(TTextPos ch) { return ch; }
    virtual void XToChar(TTextPos& x, TTextPos& ch) = 0;
    virtual void DrawLines(TTextPos y, TTextPos firstLine, TTextPos count) = 0;
    virtual TTextPos PageToLine(TTextPos page) = 0;
    virtual TTextPos LineToPage(TTextPos line) = 0;

    // The printing of the descendant that binds a text. BeginPrint starts the job (raising the
    // printer message when it cannot) and lays the text out for the printer; EndPrint lays it out for
    // the screen again and ends the job.
    virtual void BeginPrint(bool usePrinterWrap);
    virtual void EndPrint();
    // The display lines a range covers: the first, the last (-1: to the end of the text) and their
    // pages (the last page -1: as many as the text has).
    struct TPrintRange {
        TTextPos First = 0, Last = -1, FirstPage = 1, LastPage = -1;
        bool None = false; // nothing to print: the user abandoned finding the range
    };
    virtual TPrintRange PrintRangeLines(int printRange, TTextPos fromPage, TTextPos toPage) = 0;
    // Prints the lines of numbered page `page` from display line `line` on (the range's first line
    // at the start of each copy), not past `last` (-1: to the end), from the top margin down. `line`
    // comes back as the first line not printed; false when no line of the range is left.
    virtual bool PrintPageLines(TTextPos& line, TTextPos last, TTextPos page, int printRange) = 0;
    // The editor's font on the printer: the same size in points at the printer's resolution.
    QFont PrinterFont(const QPrinter& printer) const;
    // The printer's painter while a job runs.
    QPainter* PrintPainter() const { return m_PrintPainter.get(); }
    // The command of key definition `index`; an index no class supplies raises EInternalError.
    virtual std::function<void()> GetKeyHandler(int index);
    // A typed character that no key definition took (the editing layer inserts it).
    virtual void CharTyped(const QString& /*text*/) {}
    // Word boundaries around a position, by the word characters.
    virtual TViewPos WordStart(TViewPos pos) = 0;
    virtual TViewPos WordEnd(TViewPos pos) = 0;
    virtual TViewPos WordAndSpacesEnd(TViewPos pos) = 0;
    // The character boundary nearest document x on a display line.
    virtual TViewPos PointToPos(TTextPos x, TTextPos line) = 0;
    // Mouse-up handling of the descendant, before the viewer's own (paragraph selection).
    virtual void MouseUpSelect() {}
    // Whether the right margin line can be dragged (window wrapping).
    virtual bool WrapsAtWindow() const { return false; }
    // Extends or removes the selection after the caret moved, by the modifiers held.
    void UpdateSelection();
    // Without Shift or Alt, a selection collapses to `to`, where the caret goes; false when there was
    // none to collapse.
    bool CollapseSelection(TViewPos to);
    // Runs a caret movement as a command: the selection follows it.
    void Move(void (TLinesViewer::*movement)());
    Qt::KeyboardModifiers EventModifiers() const { return m_EventModifiers; }
    // Sets the cursor reasons for the pointer at x on a row.
    void MouseHover(TTextPos x, TTextPos row);
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

    // Told after the font or the zoom changed and the metrics were measured again.
    virtual void FontMeasured() {}
    virtual void ZoomChanged() {}
    virtual void CaretMoved() {}
    // The width of the client area changed (after the horizontal page size was set).
    virtual void ResizeHorz();
    // The vertical scroll bar moved: the view follows it.
    virtual void VertScrolled();
    virtual TTextPos MaxLineWidth() const { return 0; }

    // Ends construction: until then no event reaches the line-level operations.
    void Constructed() { m_Constructing = false; }
    void SetState(unsigned flags, bool on);
    void SetCursorReason(TCursorReason reason, bool on);
    void ScrollIntoViewVert();
    void ScrollIntoViewHorz();
    void PlaceCaret();
    TQtCanvas& Canvas() { return m_Canvas; }
    QPainter* Painter() const { return m_Painter; }

    void Paint(QPainter& painter, const QRect& rect) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

    TQtCanvas m_Canvas;
    TWinScrollBar* m_HorzScrollBar;
    TWinScrollBar* m_VertScrollBar;
    TSelection m_Sel;
    TViewPos m_DragStart, m_DragEnd; // the word first selected by a double click, while dragging on
    TTextPos m_CaretX = 0;
    TTextPos m_TopLine = 0;
    TTextPos m_HorzOffset = 0;
    TTextPos m_LastIdleChar = 0;
    TTextPos m_LastIdleLine = -1;
    TTextPos m_DesiredChar = 0;
    TTextPos m_LineHeight = 1;
    TTextPos m_CaretChar = 0;
    TTextPos m_CaretLine = 0;
    TTextPos m_LineEndX = 0;
    TTextPos m_LineLength = 0;
    TTextPos m_LineBase = 0;
    TTextPos m_CaretPage = 1;
    TTextPos m_LastLine = 0;
    TTextPos m_SectionStart = 0;
    TTextPos m_PageCount = 1;
    unsigned m_State = sfEmpty;
    TTextPos m_BusyTotal = 0;
    float m_PrinterMetrics[6] = {0.5f, 0.5f, 0.75f, 1.0f, 0.25f, 0.25f};
    TTextPos m_LeftMargin = 0;
    TTextPos m_RightMargin = 0;
    unsigned m_CursorReasons = crNormal;
    QCursor m_SavedCursor{Qt::IBeamCursor};
    bool m_WPMode = false;
    int m_Zoom = 0;
    bool m_BeepOn = true;
    TLineNumberModes m_LineNumberMode = TLineNumberModes::lnFileRelative;
    TTextPos m_CharWidth = 1;
    TTextPos m_VisibleLines = 1;
    TTextPos m_LinesPerPage = 66;
    TTextPos m_PrinterLineHeight = 1;
    TTextPos m_HeaderY = 0, m_FooterY = 0;
    TTextPos m_PrintMargins[4] = {}; // left, top, right, bottom
    std::unique_ptr<QPainter> m_PrintPainter;
    TKeyManager m_Keys;
    std::vector<TKeyDefinition> m_KeyCodes;
    bool m_KeyHandled = false;
    bool m_WantTabs = true;
    bool m_DragMargin = true;
    bool m_AutoScroll = false;
    TDoubleClickModes m_DoubleClickMode = TDoubleClickModes::dcWordOnly;
    bool m_TripleClick = false;
    TPagingModes m_PagingMode = TPagingModes::pmMoveToLine;
    int m_ClickState = 0;
    int m_DoubleClickTime = 500;
    Qt::KeyboardModifiers m_EventModifiers;

private:
    void InstallDefaultKeys();
    // The control's font at zoom `level`: its size doubled per step in, halved per step out.
    QFont ZoomedFont(int level) const;
    // Whether a line of `font` is no taller, and a character no wider, than the client area.
    bool FitsWindow(const QFont& font) const;
    void MeasureFont();
    void OnBlink();
    QRect CaretRect(TTextPos caretX, TTextPos caretLine) const;
    QRect CaretRect() const { return CaretRect(m_CaretX, m_CaretLine); }
    // Busy mode's filter of the application's events: input is swallowed, Esc is noted, except in a
    // modal dialog opened during the operation. The scroll area filters its scroll bars through it too.
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool AskedWhileBusy(QObject* watched) const;

    // The mouse: a press, counted as a click or a double click.
    void MouseDown(QMouseEvent* event, bool doubleClick);
    void DragSelect(TTextPos x, TTextPos y);
    void DragMarginTo(TTextPos x);
    void OnAutoScroll();
    // Sets the zoom level without the checks of the zoom commands.
    void ApplyZoom(int level);
    // The sheets of the job, after it has begun; ends early when the user abandons it.
    void PrintSheets(const QString& header, int printRange, TTextPos fromPage, TTextPos toPage,
                     bool pageNumbers, int copies);
    // The header and the page number of a sheet.
    void PrintFrame(const QString& header, TTextPos page, bool pageNumbers);

    QPainter* m_Painter = nullptr;
    QTimer m_BlinkTimer;
    QTimer m_AutoScrollTimer;
    QTimer m_ClickTimer;
    TTextPos m_MarginLineX = -1; // where the dotted line of a margin drag is drawn
    QPoint m_LastMousePos;
    bool m_CaretShown = false;
    // Where the caret was last placed, in the document: a scroll by rows carries its mark along.
    TTextPos m_MarkX = 0, m_MarkLine = 0;
    bool m_AbortPending = false;
    QPointer<QWidget> m_ModalBeforeBusy; // a dialog already up when busy mode began stays refused
    bool m_Resizing = false;
    bool m_Constructing = true;
    QElapsedTimer m_SincePump;
};
