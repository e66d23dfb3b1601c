#include "editor/PrinterAccess.h"

#include <memory>

#include <QLocale>
#include <QPageSize>
#include <QPrinter>

namespace {
std::unique_ptr<QPrinter> g_Printer;
bool g_SimulateNone = false;
} // namespace

QPrinter* TPrinterAccess::Printer() {
    if (g_SimulateNone) return nullptr;
    if (!g_Printer) {
        g_Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        if (g_Printer->outputFormat() == QPrinter::PdfFormat) // no system printer: paper from the locale
            g_Printer->setPageSize(QPageSize(
                QLocale().measurementSystem() == QLocale::MetricSystem ? QPageSize::A4 : QPageSize::Letter));
    }
    return g_Printer->isValid() ? g_Printer.get() : nullptr;
}

void TPrinterAccess::SetSimulateNoPrinter(bool none) {
    g_SimulateNone = none;
}
