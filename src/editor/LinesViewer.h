#pragma once

#include <functional>

#include <QElapsedTimer>
#include <QTimer>

#include "editor/FlickerFreeControl.h"
#include "editor/QtCanvas.h"
#include "editor/WinScrollBar.h"
#include "text/MessageBox.h"
#include "text/TextPos.h"

// A place in the display: a character index within a display line and the line's number, both from 0.
struct TViewPos {
    TTextPos Char = 0;
    TTextPos Line = 0;
    bool operator==(const TViewPos&) const = default;
    auto operator<=>(const TViewPos& other) const {
        return Line != other.Line ? Line <=> other.Line : Char <=> other.Char;
    }
};

enum class TLineNumberModes { lnFileRelative, lnPageRelative };
enum class TPagingModes { pmMoveToLine, pmCaretConstant };
enum class TDoubleClickModes { dcWordOnly, dcWordAndSpaces };

// The editor's state flags, reported through OnStateChange.
enum TStateFlag : unsigned {
    sfEmpty = 1, sfSelection = 2, sfSearchSet = 4, sfInsert = 8, sfMouseSelecting = 16, sfDragging = 32,
    sfBusy = 64, sfDropping = 128, sfModified = 256, sfCanUndo = 512, sfCanRedo = 1024, sfClipboardText = 2048,
    sfPrinting = 8192, sfGoToLine = 16384, sfSearching = 32768,
};

// Why the mouse pointer has the shape it has; the highest reason set wins.
enum TCursorReason : unsigned { crNormal = 1, crOverSelection = 2, crMarginBand = 4, crOnMargin = 8, crDragging = 16, crBusy = 32 };

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
    void SetZoom(int level);
    // The caret's line number from 0, counted in the file or in its page as LineNumberMode says.
    TTextPos DisplayedLineNumber() const;
    void Clear();
    virtual void Reset();

    // Busy mode: input is refused, Esc asks to abandon the operation, progress is reported.
    void EnterBusy(TTextPos total);
    void ExitBusy();
    // Called between units of a long operation; false when it is to stop.
    bool PollAbort(TTextPos done);

    // Printer metrics in inches, indexes 1 to 6: left, right, top, bottom margin, header, footer.
    float GetPrinterMetric(int index) const;
    void SetPrinterMetric(int index, float inches);
    void ComputePrinterLayout();

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

    std::function<void(TLinesViewer& sender)> OnAfterClear, OnBeforeClear, OnStateChange, OnCaretMoved, OnEnter,
        OnExit, OnChange;
    std::function<void(TLinesViewer& sender, TTextPos done, TTextPos total, bool& cancel)> OnProgressEvent;
    std::function<void(TLinesViewer& sender, TTextPos page, TTextPos total)> OnPagePrint;
    // Asked when Esc was pressed during a long operation; Yes abandons it.
    std::function<void(TLinesViewer& sender, TModalResult& response)> OnAbortRequest;

protected:
    // The line-level operations of the descendant that binds a text.
    virtual void GetLineInfo(TTextPos line, TTextPos& endX, TTextPos& sectionStart, TTextPos& lineBase,
                             TTextPos& page, TTextPos& length) = 0;
    virtual TTextPos CharToX(TTextPos ch) = 0;
    virtual void XToChar(TTextPos& x, TTextPos& ch) = 0;
    virtual void DrawLines(TTextPos y, TTextPos firstLine, TTextPos count) = 0;
    virtual TTextPos PageToLine(TTextPos page) = 0;
    virtual TTextPos LineToPage(TTextPos line) = 0;
    // Told after the font or the zoom changed and the metrics were measured again.
    virtual void FontMeasured() {}
    virtual void ZoomChanged() {}
    virtual void CaretMoved() {}
    // The width of the client area changed (after the horizontal page size was set).
    virtual void ResizeHorz();
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
    TViewPos m_Anchor, m_DragStart, m_DragEnd;
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
    TViewPos m_SelStart, m_SelEnd;
    int m_SelMode = 0;
    TTextPos m_CharWidth = 1;
    TTextPos m_VisibleLines = 1;
    TTextPos m_LinesPerPage = 66;
    TTextPos m_PrinterLineHeight = 1;
    TTextPos m_HeaderY = 0, m_FooterY = 0;
    TTextPos m_PrintMargins[4] = {}; // left, top, right, bottom

private:
    void MeasureFont();
    void OnBlink();
    QRect CaretRect() const;
    // Busy mode's filter of the application's events: input is swallowed, Esc is noted.
    bool eventFilter(QObject* watched, QEvent* event) override;

    QPainter* m_Painter = nullptr;
    QTimer m_BlinkTimer;
    bool m_CaretShown = false;
    bool m_AbortPending = false;
    bool m_Resizing = false;
    bool m_Constructing = true;
    QElapsedTimer m_SincePump;
};
