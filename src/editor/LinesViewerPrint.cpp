// Printing by TLinesViewer: the job, its sheets with header and page number, busy mode and the events.

#include <algorithm>

#include <QPainter>
#include <QPrinter>

#include "editor/LinesViewer.h"
#include "editor/PrinterAccess.h"
#include "text/Exceptions.h"

namespace {
const char* const kNoPrinter = "Unable to access Printer - Please check your printer setup";
} // namespace

void TLinesViewer::BeginPrint(bool) {
    QPrinter* printer = TPrinterAccess::Printer();
    if (!printer) throw Exception(kNoPrinter);
    // Positions count from the paper's corner: the margins are the editor's own.
    printer->setFullPage(true);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer)) throw Exception(kNoPrinter);
    m_PrintPainter = std::move(painter);
}

void TLinesViewer::EndPrint() {
    if (m_PrintPainter) m_PrintPainter->end();
    m_PrintPainter.reset();
}

void TLinesViewer::Print(const std::string& header, const std::string& title, TTextPos toPage,
                         TTextPos fromPage, int printRange, bool usePrinterWrap, bool pageNumbers,
                         int copies) {
    if (printRange == 1 && !m_Sel.Exists()) return;
    if (printRange < 0 || printRange > 2) throw Exception("PrintRange undefined in call to Print");
    if (QPrinter* printer = TPrinterAccess::Printer()) printer->setDocName(QString::fromStdString(title));
    SetState(sfPrinting, true);
    const int zoom = m_Zoom;
    bool begun = false;
    // However the job ends, the editor comes back as it was, laid out for the screen.
    auto finish = [&] {
        setFocus();
        if (begun) EndPrint();
        ApplyZoom(zoom);
        SetState(sfPrinting, false);
        InvalidateAll();
    };
    try {
        ApplyZoom(0);
        ComputePrinterLayout();
        BeginPrint(usePrinterWrap);
        begun = true;
        PrintSheets(QString::fromStdString(header), printRange, fromPage, toPage, pageNumbers,
                    std::max(1, copies));
    } catch (...) {
        finish();
        throw;
    }
    finish();
}

void TLinesViewer::PrintSheets(const QString& header, int printRange, TTextPos fromPage, TTextPos toPage,
                               bool pageNumbers, int copies) {
    const TPrintRange range = PrintRangeLines(printRange, fromPage, toPage);
    if (range.None) return;
    // Printing everything, the sheet count is the page count, an estimate until the text is counted.
    auto sheets = [&](TTextPos page) {
        return std::max(page, (range.LastPage < 0 ? m_PageCount : range.LastPage) + 1 - range.FirstPage);
    };
    TBusy busy(*this, sheets(1) * copies);
    QPrinter& printer = *static_cast<QPrinter*>(m_PrintPainter->device());
    TTextPos done = 0;
    for (int copy = 0; copy < copies; ++copy) {
        TTextPos line = range.First;
        for (TTextPos page = 1;; ++page) {
            if (!PollAbort(done + 1)) return;
            if (done++ > 0) printer.newPage();
            const TTextPos total = sheets(page);
            m_BusyTotal = total * copies;
            if (OnPagePrint) OnPagePrint(*this, page, total);
            PrintFrame(header, page, pageNumbers);
            const bool more = PrintPageLines(line, range.Last, range.FirstPage + page - 1, printRange);
            if (!more || (range.LastPage >= 0 && page >= total)) break;
        }
    }
}

void TLinesViewer::PrintFrame(const QString& header, TTextPos page, bool pageNumbers) {
    QPainter& painter = *m_PrintPainter;
    auto& printer = *static_cast<QPrinter*>(painter.device());
    const QRect paper = printer.pageLayout().fullRectPixels(printer.resolution());
    const auto lineHeight = static_cast<int>(m_PrinterLineHeight);
    painter.setFont(PrinterFont(printer));
    painter.setPen(Qt::black);
    painter.drawText(QRect(0, static_cast<int>(m_HeaderY), paper.width(), lineHeight),
                     Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, header);
    if (pageNumbers)
        painter.drawText(
            QRect(0, paper.height() - static_cast<int>(m_FooterY) - lineHeight, paper.width(), lineHeight),
            Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
            QString::asprintf("Page %lld", static_cast<long long>(page)));
}
