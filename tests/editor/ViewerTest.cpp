#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include "ErrorOf.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/IdleDriver.h"
#include "editor/PrinterAccess.h"
#include "editor/TextViewer.h"
#include "text/Exceptions.h"

namespace {

// A viewer of `bytes` in a fixed-pitch font, `rows` lines tall and `columns` characters wide, its
// layout left to the background scan.
struct Viewer : TShownView<TTextViewer> {
    explicit Viewer(const std::string& bytes, TWrapModes mode = TWrapModes::opNone, int rows = 20,
                    int columns = 60)
        : TShownView(TextOver(bytes), mode, rows, columns, false) {}
};

std::string Lines(int count, int (*length)(int)) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::string(static_cast<size_t>(length(i)), 'a' + i % 26) + "\n";
    return text;
}

// The centre of one part of a scroll bar (an arrow, the thumb, the trough), as its style draws it.
QPoint PartOf(QScrollBar& bar, QStyle::SubControl part) {
    QStyleOptionSlider option;
    option.initFrom(&bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar.orientation();
    option.minimum = bar.minimum();
    option.maximum = bar.maximum();
    option.sliderPosition = bar.sliderPosition();
    option.sliderValue = bar.value();
    option.singleStep = bar.singleStep();
    option.pageStep = bar.pageStep();
    return bar.style()->subControlRect(QStyle::CC_ScrollBar, &option, part, &bar).center();
}

void Click(QScrollBar& bar, QStyle::SubControl part) {
    QTest::mouseClick(&bar, Qt::LeftButton, {}, PartOf(bar, part));
}

void DragThumb(QScrollBar& bar, QPoint by) {
    const QPoint thumb = PartOf(bar, QStyle::SC_ScrollBarSlider);
    QTest::mousePress(&bar, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(&bar, thumb + by);
    QTest::mouseRelease(&bar, Qt::LeftButton, {}, thumb + by);
}

// The text area's pixels as they are on the screen, whatever was left there by earlier paints.
QImage Screen(TTextViewer& view) {
    QTest::qWait(20); // the repaints asked for
    QWidget& port = *view.viewport();
    const QPoint at = port.mapTo(port.window(), QPoint(0, 0));
    return port.screen()
        ->grabWindow(port.window()->winId(), at.x(), at.y(), port.width(), port.height())
        .toImage();
}

// How many pixels of `rect` are dark, as text and the caret are drawn.
int Inked(const QImage& image, const QRect& rect) {
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

} // namespace

class ViewerTest : public QObject {
    Q_OBJECT
private slots:
    void scrollBarScalesLargeRanges() {
        QAbstractScrollArea area;
        TWinScrollBar bar(area, Qt::Vertical);
        bar.SetPageSize(40);
        bar.SetLimit(99999);
        QCOMPARE(bar.Scale(), 4);
        QCOMPARE(bar.WindowMaximum(), 24999);
        bar.Scroll(TWinScrollBar::scThumbTrack, 24999 - 40);
        QCOMPARE(bar.Position(), 99999 + 1 - 40);
        bar.Scroll(TWinScrollBar::scThumbTrack, 1000);
        QCOMPARE(bar.Position(), 4000);
        bar.SetTracking(false);
        bar.Scroll(TWinScrollBar::scThumbTrack, 10);
        QCOMPARE(bar.Position(), 4000);
        bar.Scroll(TWinScrollBar::scThumbPosition, 10);
        QCOMPARE(bar.Position(), 40);
        bar.SetLimit(10);
        QCOMPARE(bar.Position(), 0);
        QVERIFY2(!bar.Visible(), "everything fits");
    }

    // The bars' own arrows, troughs and thumbs move the view; the caret stays.
    void scrollBarsFollowTheMouse() {
        Viewer v(Lines(1000, [](int) { return 200; }));
        v.Settle();
        QScrollBar& vert = *v.view.verticalScrollBar();
        Click(vert, QStyle::SC_ScrollBarAddLine);
        QCOMPARE(v.view.TopLine(), 1);
        Click(vert, QStyle::SC_ScrollBarAddPage);
        QCOMPARE(v.view.TopLine(), v.view.VertScrollBar().PageSize());
        Click(vert, QStyle::SC_ScrollBarSubLine);
        QCOMPARE(v.view.TopLine(), v.view.VertScrollBar().PageSize() - 1);
        DragThumb(vert, QPoint(0, 50));
        QVERIFY(v.view.TopLine() > 100);
        QCOMPARE(v.view.TopLine(), vert.value());
        QScrollBar& horz = *v.view.horizontalScrollBar();
        Click(horz, QStyle::SC_ScrollBarAddLine);
        QCOMPARE(v.view.HorzOffset(), v.view.CharWidth());
        Click(horz, QStyle::SC_ScrollBarAddPage);
        QCOMPARE(v.view.HorzOffset(), v.view.CharWidth() + v.view.ClientWidth() - 1);
        DragThumb(horz, QPoint(-20, 0));
        QCOMPARE(v.view.HorzOffset(), horz.value());
        QVERIFY(v.view.HorzOffset() < v.view.CharWidth() + v.view.ClientWidth() - 1);
        QCOMPARE(v.view.CaretPos(), TViewPos{});
    }

    // On a text far larger than the bar's range, a drag to the thumb's end reaches the last lines,
    // placed by estimate: the lines before them are not laid out.
    void thumbDraggedFarIntoAnUnscannedText() {
        Viewer v(Lines(200000, [](int) { return 1; }));
        QVERIFY(!v.view.LayoutComplete());
        QScrollBar& vert = *v.view.verticalScrollBar();
        QVERIFY(v.view.VertScrollBar().Scale() > 1);
        DragThumb(vert, QPoint(0, vert.height()));
        QVERIFY(v.view.Estimated());
        QCOMPARE(v.view.TopLine(), v.view.LastLine() + 1 - v.view.VertScrollBar().PageSize());
        v.view.viewport()->repaint();
        QVERIFY(!v.view.LayoutComplete());
        QCOMPARE(v.view.TopLine(), v.view.LastLine() + 1 - v.view.VertScrollBar().PageSize());
    }

    void windowOfTenAndAHalfLines() {
        Viewer v(Lines(100, [](int) { return 5; }));
        v.Resize(QSize(60 * static_cast<int>(v.view.CharWidth()) + 1,
                       static_cast<int>(10.6 * v.view.LineHeight())));
        QCOMPARE(v.view.VisibleLines(), 11);
        QCOMPARE(v.view.VertScrollBar().PageSize(), 10);
        v.Settle();
        v.view.SetTopLine(1000);
        QCOMPARE(v.view.TopLine(), v.view.LastLine() + 2 - v.view.VisibleLines());
        v.view.SetTopLine(-5);
        QCOMPARE(v.view.TopLine(), 0);
    }

    void wheelScrollsWithoutMovingTheCaret() {
        Viewer v(Lines(100, [](int) { return 5; }));
        v.Settle();
        v.view.SetTopLine(10);
        auto wheel = [&v](int delta) {
            QWheelEvent event(QPointF(5, 5), QPointF(5, 5), QPoint(), QPoint(0, delta), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(v.view.viewport(), &event);
        };
        wheel(120);
        QCOMPARE(v.view.TopLine(), 9);
        wheel(-240);
        QCOMPARE(v.view.TopLine(), 11);
        QCOMPARE(v.view.CaretLine(), 0);
    }

    void wordProcessorModeKeepsTheCaretInsideLines() {
        Viewer v("aaaaaaaaaaaaaaaaaaaa\nbbb\ncccccccccccccccccccccccc\n");
        v.view.SetWPMode(true);
        v.view.SetCaretChar(20);
        v.view.SetCaretLine(1);
        QCOMPARE(v.view.CaretChar(), 3);
        v.view.SetCaretLine(2);
        QCOMPARE(v.view.CaretChar(), 3); // the next line keeps the x of the short line's end

        v.view.SetWPMode(false);
        v.view.MoveCaretTo(50 * v.view.CharWidth(), 1);
        QCOMPARE(v.view.CaretChar(), 3);
        QCOMPARE(v.view.CaretX(), 50 * v.view.CharWidth()); // beyond the end of the line

        // Wider in characters but narrower in pixels: the caret goes to the character it wants.
        Viewer p("WWWWWWWWWW\niiiiiiiiiiiiiiii\n");
        QFont proportional("DejaVu Sans", 10);
        p.view.setFont(proportional);
        p.view.SetWPMode(true);
        p.view.SetCaretChar(10);
        p.view.SetCaretLine(1);
        QCOMPARE(p.view.CaretChar(), 10);
    }

    // End, then Down onto an empty line: in word-processor mode the caret comes to that line's end and
    // is drawn there; without it, it keeps its x. Either way no mark stays where it was.
    void theCaretIsDrawnWhereItStandsAndNowhereElse() {
        QApplication::setCursorFlashTime(60000); // no blink while the screen is read
        for (bool wpMode : {true, false}) {
            Viewer v("first line of text here\n\nthird line\n");
            v.view.SetWPMode(wpMode);
            v.view.activateWindow();
            v.view.setFocus();
            QVERIFY(QTest::qWaitForWindowActive(&v.view));
            const int row = static_cast<int>(v.view.LineHeight());
            const QRect atEnd(static_cast<int>(23 * v.view.CharWidth()), 0, 2, row);
            QTest::keyClick(&v.view, Qt::Key_End);
            QVERIFY(Inked(Screen(v.view), atEnd) > row / 2);
            QTest::keyClick(&v.view, Qt::Key_Down);
            QCOMPARE(v.view.CaretPos(), (TViewPos{0, 1}));
            QCOMPARE(v.view.CaretX(), wpMode ? 0 : atEnd.left());
            QCOMPARE(v.view.CaretColumn(), wpMode ? 0 : 23);
            const QImage screen = Screen(v.view);
            QCOMPARE(Inked(screen, atEnd), 0);
            QVERIFY(Inked(screen, atEnd.translated(static_cast<int>(v.view.CaretX()) - atEnd.left(), row)) >
                    row / 2);
        }
    }

    void busyModeRefusesInputAndEscAsks() {
        Viewer v("text");
        v.view.EnterBusy(10);
        QVERIFY_THROWS_EXCEPTION(EInternalError, v.view.EnterBusy(1));
        int asked = 0;
        v.view.OnAbortRequest = [&asked](TLinesViewer&, TModalResult& answer) {
            ++asked;
            answer = TModalResult::mrYes;
        };
        QCoreApplication::postEvent(&v.view, new QKeyEvent(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, "x"));
        QCoreApplication::postEvent(&v.view, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
        bool stopped = false;
        for (int step = 0; step < 200 && !stopped; ++step) {
            stopped = !v.view.PollAbort(step);
            QTest::qWait(1);
        }
        QVERIFY(stopped);
        QCOMPARE(asked, 1);
        v.view.ExitBusy();
        QCOMPARE(ErrorOf<EInternalError>([&] { v.view.ExitBusy(); }),
                 std::string("Exiting Busy State when not busy"));
    }

    // A jump far into text the scan has not reached lands on an estimated line number; when the scan
    // catches up the numbers are exact and the caret move is reported again.
    void estimatedJumpIsCorrectedByTheScan() {
        // Short lines first, long ones later: an estimate by bytes is far off.
        const std::string text = Lines(30000, [](int i) { return i < 15000 ? 2 : 60; });
        Viewer v(text);
        QVERIFY(!v.view.LayoutComplete());
        QVERIFY2(v.view.LastLine() > 0, "an estimated line count from the first step");
        int moves = 0;
        v.view.OnCaretMoved = [&moves](TLinesViewer&) { ++moves; };
        v.view.SetCaretLine(20000);
        QVERIFY(v.view.Estimated());
        const TTextPos offset = v.view.CaretOffset();
        bool done = false;
        v.view.IdleStep(done);
        const int movesBefore = moves;
        v.Settle();
        QVERIFY(v.view.LayoutComplete());
        QVERIFY(!v.view.Estimated());
        QCOMPARE(v.view.LastLine(), 29999);
        const auto exactLine = std::count(text.begin(), text.begin() + offset, '\n');
        QCOMPARE(v.view.CaretLine(), static_cast<TTextPos>(exactLine));
        QCOMPARE(v.view.CaretOffset(), offset);
        QVERIFY2(moves > movesBefore, "the exact line number is reported");
    }

    // Go to Line far into text the scan has not reached places the caret by estimate, and on the line
    // asked for once the scan has passed; a caret moved meanwhile stays where the user put it.
    void goToLineLandsOnTheLineOnceCounted() {
        const std::string text = Lines(30000, [](int i) { return i < 15000 ? 2 : 60; });
        const auto startOf = [&text](int line) {
            size_t offset = 0;
            for (int i = 0; i < line; ++i)
                offset = text.find('\n', offset) + 1;
            return static_cast<TTextPos>(offset);
        };
        Viewer v(text);
        v.view.GoToLine(20000);
        QVERIFY(v.view.Estimated());
        QVERIFY(v.view.CaretOffset() != startOf(19999)); // the estimate is off: short lines came first
        const TTextPos row = v.view.CaretLine() - v.view.TopLine();
        v.Settle();
        QCOMPARE(v.view.CaretLine(), 19999);
        QCOMPARE(v.view.CaretOffset(), startOf(19999));
        QCOMPARE(v.view.CaretLine() - v.view.TopLine(), row);
        QCOMPARE(ErrorOf<EUserError>([&] { v.view.GoToLine(30001); }),
                 std::string("The specified line does not exist"));

        Viewer moved(text);
        moved.view.GoToLine(20000);
        moved.Key(Qt::Key_Down);
        const TTextPos there = moved.view.CaretOffset();
        moved.Settle();
        QCOMPARE(moved.view.CaretOffset(), there);
    }

    void pagesAndFormFeeds() {
        Viewer v("\fone\ntwo\n\fthree\n");
        v.Settle();
        QCOMPARE(v.view.LineToPage(0), 2); // a text starting with a form feed starts on page 2
        QCOMPARE(v.view.LineToPage(1), 2);
        QCOMPARE(v.view.LineToPage(3), 3);
        QCOMPARE(v.view.PageCount(), 3);
        v.view.GoToLine(1);
        QCOMPARE(v.view.CaretLine(), 1); // page-break lines are not counted
        v.view.GoToLine(3);
        QCOMPARE(v.view.CaretLine(), 4);
        v.view.GoToPage(3);
        QCOMPARE(v.view.CaretLine(), 3);
        QCOMPARE(ErrorOf<EUserError>([&] { v.view.GoToPage(9); }),
                 std::string("The specified page does not exist"));

        Viewer empty("");
        QCOMPARE(empty.view.LastLine(), 0);
        QCOMPARE(empty.view.PageCount(), 1);
        QVERIFY(empty.view.LayoutComplete());
    }

    void relayoutKeepsTheCaretOffsetAndRow() {
        std::string text;
        for (int i = 0; i < 200; ++i)
            text += "word" + std::to_string(i) + (i % 7 == 6 ? "\n" : " ");
        Viewer v(text, TWrapModes::opWrapScreenWidth, 10, 30);
        v.Settle();
        v.view.GoToOffset(900, false);
        const TTextPos row = v.view.CaretLine() - v.view.TopLine();
        for (TWrapModes mode :
             {TWrapModes::opNone, TWrapModes::opAbsoluteWrap, TWrapModes::opWrapScreenWidth}) {
            v.view.SetMaxLineLength(12);
            v.view.SetWrapMode(mode);
            QCOMPARE(v.view.CaretOffset(), 900);
            QCOMPARE(v.view.CaretLine() - v.view.TopLine(), row);
        }
    }

    void zoomStopsWhereACharacterNoLongerFitsAndBelowTwoPoints() {
        Viewer v("zoom me\n");
        const TTextPos width = v.view.CharWidth();
        v.view.SetZoom(1);
        QVERIFY(v.view.CharWidth() >= 2 * width - 1);
        for (int step = 0; step < 8; ++step)
            v.view.SetZoom(v.view.Zoom() + 1);
        QVERIFY(v.view.Zoom() >= 3);
        QVERIFY(v.view.LineHeight() <= v.view.ClientHeight());        // a line still fits
        QVERIFY(2 * v.view.LineHeight() > v.view.ClientHeight() + 2); // the next step's would not
        v.view.SetZoom(0);
        QFont tiny("DejaVu Sans Mono", 3);
        v.view.setFont(tiny);
        v.view.SetZoom(0);
        v.view.SetZoom(-1); // 1.5 points
        QCOMPARE(v.view.Zoom(), -1);
        v.view.SetZoom(-2);
        QCOMPARE(v.view.Zoom(), -1);
    }

    void tabStopsReachTheLayout() {
        Viewer v("a\tb\n");
        v.view.SetTabStopCount(1);
        v.view.SetTabStop(0, 1.0f);
        QCOMPARE(v.view.GetTabStop(0), 1.0f);
        v.view.SetCaretChar(2);
        QCOMPARE(v.view.CaretX(), v.view.logicalDpiX()); // the b after a tab stop one inch in
    }

    void printerLayout() {
        Viewer v("x");
        QCOMPARE(v.view.GetPrinterMetric(4), 1.0f);
        QCOMPARE(ErrorOf<Exception>([&] { v.view.GetPrinterMetric(7); }),
                 std::string("Invalid call to GetPrinterMetric"));
        TPrinterAccess::SetSimulateNoPrinter(true);
        v.view.ComputePrinterLayout();
        QCOMPARE(v.view.LinesPerPage(), 66);
        TPrinterAccess::SetSimulateNoPrinter(false);
        v.view.ComputePrinterLayout();
        QVERIFY(v.view.LinesPerPage() > 20 && v.view.LinesPerPage() < 100);
        QFont font = v.view.font(); // a font sized in pixels prints at the same size
        font.setPixelSize(13);
        v.view.setFont(font);
        QVERIFY(v.view.LinesPerPage() > 20 && v.view.LinesPerPage() < 100);
    }
};

QTEST_MAIN(ViewerTest)
#include "ViewerTest.moc"
