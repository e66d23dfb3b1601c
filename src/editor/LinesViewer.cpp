#include "editor/LinesViewer.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QPrinter>
#include <QRawFont>
#include <QScrollBar>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWindow>

#include "editor/PrinterAccess.h"
#include "text/Exceptions.h"

TLinesViewer::TLinesViewer(QWidget* parent) : TFlickerFreeControl(parent) {
    resize(185, 89);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setCursor(Qt::IBeamCursor);
    setAttribute(Qt::WA_InputMethodEnabled);
    m_VertScrollBar = new TWinScrollBar(*this, Qt::Vertical);
    m_HorzScrollBar = new TWinScrollBar(*this, Qt::Horizontal);
    m_HorzScrollBar->OnScroll = [this] { SetHorzOffset(m_HorzScrollBar->Position()); };
    m_VertScrollBar->OnScroll = [this] { VertScrolled(); };
    // A bar that went away takes its stale offset with it.
    m_HorzScrollBar->OnChange = [this] {
        if (!m_HorzScrollBar->Visible() && m_HorzOffset != 0) {
            m_HorzOffset = 0;
            InvalidateAll();
        }
    };
    m_VertScrollBar->OnChange = [this] {
        if (!m_VertScrollBar->Visible() && m_TopLine != 0) {
            m_TopLine = 0;
            InvalidateAll();
        }
    };
    m_Canvas.SetDevice(viewport());
    QFont font("DejaVu Sans Mono", 10);
    font.setStyleHint(QFont::Monospace);
    setFont(font);
    MeasureFont();
    connect(&m_BlinkTimer, &QTimer::timeout, this, &TLinesViewer::OnBlink);
    connect(&m_AutoScrollTimer, &QTimer::timeout, this, &TLinesViewer::OnAutoScroll);
    m_ClickTimer.setSingleShot(true);
    connect(&m_ClickTimer, &QTimer::timeout, this, [this] { m_ClickState = 0; });
    m_DoubleClickTime = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    if (m_DoubleClickTime <= 0) m_DoubleClickTime = 500;
    viewport()->setMouseTracking(true);
    InstallDefaultKeys();
    ComputePrinterLayout();
    m_SincePump.start();
}

TLinesViewer::~TLinesViewer() {
    if (m_State & sfBusy) qApp->removeEventFilter(this);
}

void TLinesViewer::Beep() const {
    if (m_BeepOn) QApplication::beep();
}

void TLinesViewer::SetState(unsigned flags, bool on) {
    const unsigned state = on ? m_State | flags : m_State & ~flags;
    if (state == m_State) return;
    m_State = state;
    // The focused control of its window reports even while a modeless dialog of that window is
    // active, such as the Replace dialog running a Replace All on it.
    if ((hasFocus() || window()->focusWidget() == this) && OnStateChange) OnStateChange(*this);
}

void TLinesViewer::SetCursorReason(TCursorReason reason, bool on) {
    if (m_CursorReasons == crNormal) m_SavedCursor = viewport()->cursor();
    m_CursorReasons = on ? m_CursorReasons | reason : m_CursorReasons & ~reason;
    if (m_CursorReasons & crBusy)
        viewport()->setCursor(Qt::WaitCursor);
    else if (m_CursorReasons & crDragging)
        viewport()->setCursor(Qt::DragMoveCursor);
    else if (m_CursorReasons & crOnMargin)
        viewport()->setCursor(Qt::SplitHCursor);
    else if (m_CursorReasons & (crMarginBand | crOverSelection))
        viewport()->setCursor(Qt::ArrowCursor);
    else
        viewport()->setCursor(m_SavedCursor);
}

// Caret placement ---------------------------------------------------------------------------------

void TLinesViewer::MoveCaretTo(TTextPos x, TTextPos line) {
    line = std::max<TTextPos>(0, std::min(line, m_LastLine));
    GetLineInfo(line, m_LineEndX, m_SectionStart, m_LineBase, m_CaretPage, m_LineLength);
    m_CaretLine = line;
    ScrollIntoViewVert();
    m_CaretX = std::max<TTextPos>(0, x);
    // A click (or a middle click's paste) puts the caret at the pointer, not at the remembered column.
    const bool pointer = QApplication::mouseButtons() & (Qt::LeftButton | Qt::MiddleButton);
    if (m_CaretX > m_LineEndX && m_WPMode && !m_Sel.IsColumn() && !(m_State & sfDragging)) {
        // In word-processor mode the caret never stands beyond the end of a line.
        if (m_DesiredChar < m_LineLength && !pointer) {
            m_CaretChar = CharStartOnLine(m_DesiredChar); // the column remembered from another line
            m_CaretX = CharToX(m_CaretChar);
        } else {
            m_CaretX = m_LineEndX;
            m_CaretChar = m_LineLength;
        }
    } else {
        XToChar(m_CaretX, m_CaretChar);
    }
    ScrollIntoViewHorz();
    PlaceCaret();
    CaretMoved();
}

void TLinesViewer::SetCaretChar(TTextPos ch) {
    ScrollIntoViewVert();
    ch = CharStartOnLine(ch);
    m_CaretChar = ch;
    m_DesiredChar = ch;
    m_CaretX = CharToX(ch);
    ScrollIntoViewHorz();
    PlaceCaret();
    CaretMoved();
}

void TLinesViewer::ScrollIntoViewVert() {
    if (m_CaretLine < m_TopLine) {
        SetTopLine(m_CaretLine);
    } else if (m_CaretLine >= m_TopLine + m_VisibleLines - 1) {
        const bool lastRowShown = ClientHeight() >= m_VisibleLines * m_LineHeight - (m_LineHeight >> 2);
        SetTopLine(m_CaretLine - (m_VisibleLines - (lastRowShown ? 1 : 2)));
    }
}

void TLinesViewer::ScrollIntoViewHorz() {
    if (m_CaretX == 0)
        SetHorzOffset(0);
    else if (m_CaretX - m_HorzOffset + m_LeftMargin < 0)
        SetHorzOffset(m_CaretX + m_LeftMargin);
    else if (m_CaretX - m_HorzOffset >= ClientWidth() - m_LeftMargin)
        SetHorzOffset(m_CaretX - (ClientWidth() - 1 - m_LeftMargin));
}

QRect TLinesViewer::CaretRect(TTextPos caretX, TTextPos caretLine) const {
    TTextPos x = caretX - m_HorzOffset;
    if (x >= ClientWidth() - m_LeftMargin) --x;
    x += m_LeftMargin;
    const TTextPos y = (caretLine - m_TopLine) * m_LineHeight;
    return QRect(static_cast<int>(x), static_cast<int>(y), 2, static_cast<int>(m_LineHeight));
}

void TLinesViewer::PlaceCaret() {
    if (!PaintEnabled() || !isVisible() || !hasFocus()) return;
    // The mark at the caret's previous place goes; the caret is shown solid right after it moved, then
    // blinks.
    viewport()->update(CaretRect(m_MarkX, m_MarkLine).adjusted(-2, 0, 2, 0));
    m_MarkX = m_CaretX;
    m_MarkLine = m_CaretLine;
    viewport()->update(CaretRect().adjusted(-2, 0, 2, 0));
    m_CaretShown = true;
    m_BlinkTimer.start(std::max(100, QApplication::cursorFlashTime() / 2));
}

void TLinesViewer::OnBlink() {
    m_CaretShown = !m_CaretShown;
    viewport()->update(CaretRect().adjusted(-2, 0, 2, 0));
}

// Scrolling -------------------------------------------------------------------------------------

void TLinesViewer::SetTopLine(TTextPos line) {
    line = std::max<TTextPos>(0, std::min(line, m_LastLine + 2 - m_VisibleLines));
    if (line == m_TopLine || !PaintEnabled()) return;
    const TTextPos distance = m_TopLine - line;
    if (std::abs(distance) < m_VisibleLines)
        viewport()->scroll(0,
                           static_cast<int>(distance * m_LineHeight)); // moves the pixels, repaints the band
    else
        InvalidateAll();
    m_TopLine = line;
    m_VertScrollBar->SetPosition(line);
    PlaceCaret();
}

void TLinesViewer::VertScrolled() {
    SetTopLine(m_VertScrollBar->Position());
}

void TLinesViewer::SetHorzOffset(TTextPos pixels) {
    pixels = std::max<TTextPos>(0, std::min(pixels, m_HorzScrollBar->Limit()));
    if (pixels == m_HorzOffset) return;
    m_HorzOffset = pixels;
    m_HorzScrollBar->SetPosition(pixels);
    InvalidateAll();
    PlaceCaret();
}

void TLinesViewer::SetLastLine(TTextPos line) {
    if (line == m_LastLine) return;
    m_LastLine = line;
    m_VertScrollBar->SetLimit(line);
}

void TLinesViewer::GoToOffsetKeepRow(TTextPos offset) {
    const TTextPos row = m_CaretLine - m_TopLine;
    GoToOffset(offset, false);
    SetTopLine(m_CaretLine - row);
}

void TLinesViewer::GoToPage(TTextPos page) {
    if (page >= 1 && page <= m_PageCount) {
        SetCaretLine(PageToLine(page));
        SetCaretChar(0);
    } else if (page == m_PageCount + 1) {
        GoToOffset(TextSize(), false);
    } else {
        throw EUserError("The specified page does not exist");
    }
}

void TLinesViewer::InvalidateAll() {
    viewport()->update();
}

void TLinesViewer::InvalidateLines(TTextPos a, TTextPos b) {
    if (a > b) std::swap(a, b);
    const TTextPos top = std::max<TTextPos>(0, a) * m_LineHeight;
    const TTextPos bottom = std::min<TTextPos>(b + 1, m_VisibleLines + 1) * m_LineHeight;
    if (bottom > top)
        viewport()->update(0, static_cast<int>(top), ClientWidth(), static_cast<int>(bottom - top));
}

void TLinesViewer::EnableUpdates(bool on) {
    SetPaintEnabled(on);
    m_HorzScrollBar->SetUpdatesEnabled(on);
    m_VertScrollBar->SetUpdatesEnabled(on);
    if (on) {
        InvalidateAll();
        PlaceCaret();
    }
}

void TLinesViewer::wheelEvent(QWheelEvent* event) {
    const TTextPos notches = event->angleDelta().y() / 120;
    if (notches != 0)
        SetTopLine(std::max<TTextPos>(0, std::min(m_TopLine - notches, m_LastLine - (m_VisibleLines - 1))));
    event->accept();
}

// Painting --------------------------------------------------------------------------------------

void TLinesViewer::Paint(QPainter& painter, const QRect& rect) {
    if ((m_State & sfPrinting) || m_Constructing) return;
    m_Painter = &painter;
    m_Canvas.SetPainter(&painter);
    const TTextPos first = rect.top() / m_LineHeight;
    const TTextPos count = (rect.bottom() + 1) / m_LineHeight + 1 - first;
    painter.fillRect(rect, m_Canvas.Background());
    DrawLines(first * m_LineHeight, m_TopLine + first, count);
    if (m_CaretShown && hasFocus() && PaintEnabled())
        painter.fillRect(CaretRect(), palette().color(QPalette::Text));
    if (m_MarginLineX >= 0) { // a margin being dragged
        painter.setPen(QPen(palette().color(QPalette::Text), 1, Qt::DotLine));
        painter.drawLine(static_cast<int>(m_MarginLineX), 0, static_cast<int>(m_MarginLineX), ClientHeight());
    }
    m_Canvas.SetPainter(nullptr);
    m_Painter = nullptr;
}

// Window size, font and zoom --------------------------------------------------------------------

void TLinesViewer::resizeEvent(QResizeEvent* event) {
    TFlickerFreeControl::resizeEvent(event);
    if (m_Resizing || m_Constructing) return; // a scroll bar shown or hidden while resizing resizes again
    m_Resizing = true;
    const TTextPos offset = CaretOffset();
    m_VisibleLines = std::max<TTextPos>(
        1, std::lround(std::nearbyint(static_cast<double>(ClientHeight()) / m_LineHeight)));
    const bool lastRowShort = ClientHeight() < m_VisibleLines * m_LineHeight - (m_LineHeight >> 2);
    m_VertScrollBar->SetPageSize(lastRowShort ? m_VisibleLines - 1 : m_VisibleLines);
    GoToOffsetKeepRow(offset);
    m_HorzScrollBar->SetPageSize(ClientWidth());
    ResizeHorz();
    m_Resizing = false;
}

void TLinesViewer::ResizeHorz() {
    m_HorzScrollBar->SetLimit(MaxLineWidth() + m_LeftMargin + m_CharWidth);
    GoToOffsetKeepRow(CaretOffset());
}

void TLinesViewer::SetLeftMargin(TTextPos pixels) {
    // A control not shown yet has no width of its own to bound the margins by (a page being made).
    m_LeftMargin = isVisible() ? std::clamp<TTextPos>(pixels, 0, std::max(0, ClientWidth() - 2))
                               : std::max<TTextPos>(0, pixels);
    ResizeHorz();
    InvalidateAll();
}

void TLinesViewer::SetRightMargin(TTextPos pixels) {
    m_RightMargin = isVisible() ? std::clamp<TTextPos>(pixels, 1, std::max(1, ClientWidth() - 1))
                                : std::max<TTextPos>(1, pixels);
    ResizeHorz();
    InvalidateAll();
}

QFont TLinesViewer::ZoomedFont(int level) const {
    QFont font = this->font();
    if (level != 0) font.setPointSizeF(std::ldexp(FontPoints(font), level));
    return font;
}

bool TLinesViewer::FitsWindow(const QFont& font) const {
    QFont measured(font);
    measured.setStyleStrategy(QFont::PreferNoShaping); // as the canvas measures it
    measured.setHintingPreference(QFont::PreferFullHinting);
    const QRawFont raw = QRawFont::fromFont(measured);
    return raw.isValid() && std::lround(raw.ascent() + raw.descent() + raw.leading()) <= ClientHeight() &&
           std::lround(raw.averageCharWidth()) <= ClientWidth();
}

void TLinesViewer::MeasureFont() {
    const QFont font = ZoomedFont(m_Zoom);
    m_Canvas.SetColors(palette().color(QPalette::Text), palette().color(QPalette::Base));
    m_Canvas.SetFont(font);
    TFontMetrics metrics;
    m_Canvas.GetScreenMetrics(metrics);
    m_LineHeight = std::max<TTextPos>(1, metrics.Height);
    m_CharWidth = std::max<TTextPos>(1, metrics.AvgCharWidth);
    m_HorzScrollBar->SetClickSize(m_CharWidth);
}

void TLinesViewer::changeEvent(QEvent* event) {
    TFlickerFreeControl::changeEvent(event);
    if (m_Constructing || (event->type() != QEvent::FontChange && event->type() != QEvent::PaletteChange))
        return;
    const TTextPos offset = CaretOffset();
    MeasureFont();
    ComputePrinterLayout();
    FontMeasured(); // the descendant lays the text out again for the new metrics
    m_VisibleLines = std::max<TTextPos>(
        1, std::lround(std::nearbyint(static_cast<double>(ClientHeight()) / m_LineHeight)));
    GoToOffsetKeepRow(offset);
    InvalidateAll();
}

void TLinesViewer::SetZoom(int level) {
    if (level == m_Zoom) return;
    // Zooming out stops once characters are too small to read, zooming in before one no longer fits
    // the window.
    if (level < m_Zoom ? FontPoints(m_Canvas.Font()) < 2 : !FitsWindow(ZoomedFont(level))) {
        Beep();
        return;
    }
    ApplyZoom(level);
}

void TLinesViewer::ApplyZoom(int level) {
    if (level == m_Zoom) return;
    m_Zoom = level;
    QEvent change(QEvent::FontChange);
    changeEvent(&change);
    ZoomChanged();
}

// Focus -----------------------------------------------------------------------------------------

void TLinesViewer::focusInEvent(QFocusEvent* event) {
    TFlickerFreeControl::focusInEvent(event);
    PlaceCaret();
    if (OnStateChange) OnStateChange(*this);
    if (OnEnter) OnEnter(*this);
}

void TLinesViewer::focusOutEvent(QFocusEvent* event) {
    TFlickerFreeControl::focusOutEvent(event);
    m_BlinkTimer.stop();
    m_CaretShown = false;
    viewport()->update(CaretRect().adjusted(-2, 0, 2, 0));
    if (OnStateChange) OnStateChange(*this);
    if (OnExit) OnExit(*this);
}

// Clearing --------------------------------------------------------------------------------------

void TLinesViewer::Clear() {
    if (OnBeforeClear) OnBeforeClear(*this);
    Reset();
    if (OnAfterClear) OnAfterClear(*this);
}

void TLinesViewer::Reset() {
    m_Sel = {};
    m_DragStart = m_DragEnd = {};
    m_TopLine = 0;
    m_State &= sfInsert | sfClipboardText;
    SetState(sfEmpty, TextSize() == 0);
    m_CaretChar = m_CaretLine = 0;
    m_CaretX = m_DesiredChar = 0;
    m_LastLine = 0;
    m_PageCount = 1;
    m_LastIdleLine = -1;
    m_VertScrollBar->SetLimit(0);
    m_HorzScrollBar->SetLimit(0);
    m_SectionStart = m_LineBase = 0;
    m_Zoom = 0;
    InvalidateAll();
}

TTextPos TLinesViewer::DisplayedLineNumber() const {
    if (m_LineNumberMode == TLineNumberModes::lnFileRelative) return m_CaretLine - m_LineBase;
    return (m_CaretLine - m_SectionStart) % std::max<TTextPos>(1, m_LinesPerPage);
}

// Busy mode -------------------------------------------------------------------------------------

void TLinesViewer::EnterBusy(TTextPos total) {
    if (m_State & sfBusy) throw EInternalError("Entering Busy Mode when already busy");
    SetCursorReason(crBusy, true);
    m_BusyTotal = total;
    SetState(sfBusy, true);
    m_AbortPending = false;
    m_ModalBeforeBusy = QApplication::activeModalWidget();
    qApp->installEventFilter(this);
    if (total > 0 && OnProgressEvent) {
        bool cancel = false;
        OnProgressEvent(*this, 0, total, cancel);
    }
}

void TLinesViewer::ExitBusy() {
    if (!(m_State & sfBusy)) throw EInternalError("Exiting Busy State when not busy");
    qApp->removeEventFilter(this);
    SetCursorReason(crBusy, false);
    SetState(sfBusy, false);
    if (m_BusyTotal >= 1 && OnProgressEvent) {
        bool cancel = false;
        OnProgressEvent(*this, m_BusyTotal, m_BusyTotal, cancel);
    }
    CaretMoved(); // idle work waited for the operation to end
}

namespace {
// The windows that keep their input while an editor is busy.
std::vector<QPointer<QWidget>> g_BusyCompanions;

bool InWindow(QObject* watched, const QWidget* window) {
    if (auto* widget = qobject_cast<QWidget*>(watched)) return widget->window() == window;
    return watched == static_cast<QObject*>(window->windowHandle());
}
} // namespace

void TLinesViewer::TakeInputWhileBusy(QWidget& window) {
    std::erase_if(g_BusyCompanions, [](const QPointer<QWidget>& w) { return w.isNull(); });
    g_BusyCompanions.emplace_back(&window);
}

bool TLinesViewer::AskedWhileBusy(QObject* watched) const {
    for (const QPointer<QWidget>& companion : g_BusyCompanions)
        if (companion && companion->isVisible() && InWindow(watched, companion)) return true;
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || modal == m_ModalBeforeBusy) return false;
    // A popup the question opened (a file name's completions, a combo box's list) is part of it.
    QWidget* popup = QApplication::activePopupWidget();
    return InWindow(watched, modal) || (popup && InWindow(watched, popup));
}

bool TLinesViewer::eventFilter(QObject* watched, QEvent* event) {
    // The scroll area filters its own scroll bars' events through here too: only busy mode swallows
    // input. A question the operation asks (save mode, abort, a file to decode) takes the keys and the
    // mouse.
    if (!(m_State & sfBusy) || AskedWhileBusy(watched))
        return TFlickerFreeControl::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_AbortPending = true;
        else
            Beep();
        return true;
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
        return true;
    default:
        return TFlickerFreeControl::eventFilter(watched, event);
    }
}

bool TLinesViewer::PollAbort(TTextPos done) {
    // Pumping the event queue costs little but not nothing: it runs every 15 ms at most.
    if (m_SincePump.elapsed() < 15 && !m_AbortPending) return true;
    m_SincePump.restart();
    QCoreApplication::processEvents();
    bool abort = m_AbortPending || QCoreApplication::closingDown();
    m_AbortPending = false;
    if (abort && OnAbortRequest) {
        TModalResult response = TModalResult::mrNone;
        OnAbortRequest(*this, response);
        abort = response == TModalResult::mrYes;
    }
    if (abort || m_BusyTotal < 1 || !OnProgressEvent) return !abort;
    bool cancel = false;
    OnProgressEvent(*this, done, m_BusyTotal, cancel);
    return !cancel;
}

// Printer layout --------------------------------------------------------------------------------

float TLinesViewer::GetPrinterMetric(int index) const {
    if (index < 1 || index > 6) throw Exception("Invalid call to GetPrinterMetric");
    return m_PrinterMetrics[index - 1];
}

void TLinesViewer::SetPrinterMetric(int index, float inches) {
    if (index >= 1 && index <= 6) m_PrinterMetrics[index - 1] = inches;
    ComputePrinterLayout();
}

QFont TLinesViewer::PrinterFont(const QPrinter& printer) const {
    QFont font = this->font();
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(FontPoints(font) * printer.logicalDpiY() / 72.0))));
    return font;
}

void TLinesViewer::ComputePrinterLayout() {
    QPrinter* printer = TPrinterAccess::Printer();
    const double dpiY = printer ? printer->logicalDpiY() : 0;
    const double dpiX = printer ? printer->logicalDpiX() : 0;
    if (printer) {
        m_PrinterLineHeight = QFontMetrics(PrinterFont(*printer)).lineSpacing();
    } else {
        m_PrinterLineHeight = m_LineHeight;
    }
    auto pixels = [](float inches, double dpi) {
        return static_cast<TTextPos>(std::nearbyint(inches * dpi));
    };
    m_PrintMargins[0] = pixels(m_PrinterMetrics[0], dpiX);
    m_PrintMargins[1] = pixels(m_PrinterMetrics[2], dpiY);
    m_PrintMargins[2] = pixels(m_PrinterMetrics[1], dpiX);
    m_PrintMargins[3] = pixels(m_PrinterMetrics[3], dpiY);
    m_HeaderY = pixels(m_PrinterMetrics[4], dpiY);
    m_FooterY = pixels(m_PrinterMetrics[5], dpiY);
    const TTextPos pageHeight =
        printer ? printer->pageLayout().fullRectPixels(printer->resolution()).height() : 0;
    m_LinesPerPage = printer && m_PrinterLineHeight > 0
                         ? std::max<TTextPos>(1, (pageHeight - m_PrintMargins[1] - m_PrintMargins[3]) /
                                                     m_PrinterLineHeight)
                         : 66;
}
