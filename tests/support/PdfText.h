#pragma once

#include <QPageSize>
#include <QPrinter>
#include <QProcess>
#include <QStringList>

#include "editor/PrinterAccess.h"

// The program's printer, printing to the PDF file `path` on Letter paper, so that page counts are the
// same on every machine.
inline QPrinter& PdfPrinter(const QString& path) {
    QPrinter& printer = *TPrinterAccess::Printer();
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    return printer;
}

// The pages of a PDF file as `pdftotext -layout` reads them; none when it cannot be read.
inline QStringList PdfPages(const QString& path) {
    QProcess reader;
    reader.start("pdftotext", {"-layout", path, "-"});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(reader.readAllStandardOutput()).split('\f');
    pages.removeLast(); // every page ends with a form feed
    return pages;
}

// A page's lines with text on them, without their outer spaces.
inline QStringList TextLines(const QString& page) {
    QStringList lines;
    for (const QString& line : page.split('\n'))
        if (!line.trimmed().isEmpty()) lines << line.trimmed();
    return lines;
}
