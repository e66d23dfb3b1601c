// The main window's printing commands: the print dialog, printing a document, printer and page setup.

#include <filesystem>

#include <QDir>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>

#include "app/HelpTopics.h"
#include "app/Quorvel.h"
#include "editor/PageSetupDlg.h"
#include "editor/PrintStatus.h"
#include "editor/PrinterAccess.h"

namespace fs = std::filesystem;

namespace {

const char* const kNoPrinter = "Unable to access Printer - Please check your printer setup";

int RangeOf(QAbstractPrintDialog::PrintRange range) {
    switch (range) {
    case QAbstractPrintDialog::Selection:
        return 1;
    case QAbstractPrintDialog::PageRange:
        return 2;
    default:
        return 0;
    }
}

} // namespace

bool TQuorvel::AskPrintRange(int& copies, int& range, TTextPos& firstPage, TTextPos& lastPage) {
    QPrinter* printer = TPrinterAccess::Printer();
    if (!printer) {
        MessageDlg(kNoPrinter, TMsgDlgType::mtError, TMsgButtons::mbOK);
        return false;
    }
    TFileEditor& editor = *CurrentEditor();
    // The dialog offers the exact page count.
    if (!editor.CompleteLayout()) return false;
    QPrintDialog dialog(printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintPageRange |
                      QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    const bool selection = editor.Selection().Exists();
    dialog.setOption(QAbstractPrintDialog::PrintSelection, selection);
    dialog.setMinMax(1, static_cast<int>(std::clamp<TTextPos>(editor.PageCount(), 1, INT_MAX)));
    dialog.setFromTo(1, 1);
    dialog.setPrintRange(selection ? QAbstractPrintDialog::Selection : QAbstractPrintDialog::AllPages);
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The paper may be another now, or the printer.
    for (int i = 0; i < PageCount(); ++i)
        Page(i)->PrinterChanged();
    if (!accepted) return false;
    range = RangeOf(dialog.printRange());
    firstPage = dialog.fromPage();
    lastPage = dialog.toPage();
    copies = 1;
    // Copies the printer cannot make itself, or collated, are sheets of the one job.
    if (printer->collateCopies() || !printer->supportsMultipleCopies()) {
        copies = printer->copyCount();
        printer->setCopyCount(1);
    }
    return true;
}

void TQuorvel::Print() {
    int copies = 1, range = 0;
    TTextPos first = 1, last = 1;
    if (AskPrintRange(copies, range, first, last)) PrintDocument(copies, range, first, last);
}

void TQuorvel::PrintButton() {
    if (!CurrentEditor()->Selection().Exists()) {
        PrintDocument(1, 0, 1, 1);
        return;
    }
    Print();
}

void TQuorvel::PrintDocument(int copies, int range, TTextPos firstPage, TTextPos lastPage) {
    if (!TPrinterAccess::Printer()) {
        MessageDlg(kNoPrinter, TMsgDlgType::mtError, TMsgButtons::mbOK);
        return;
    }
    TFileEditor& editor = *CurrentEditor();
    std::string title = PrintTitle;
    if (title.empty()) title = editor.FileName().empty() ? "<untitled>" : editor.FileName().string();
    bool wrap = true;
    if (editor.WrapMode() != TWrapModes::opPrinter) {
        const TModalResult answer = MessageDlg("Wrap text to printer width?", TMsgDlgType::mtConfirmation,
                                               TMsgButtons::mbYesNoCancel);
        if (answer == TModalResult::mrCancel) return;
        wrap = answer == TModalResult::mrYes;
    }
    const QString pdf = ChoosePdfFile(editor);
    if (!m_PrintStatus) m_PrintStatus = new TPrintStatus(this);
    editor.Print(title, windowTitle().toStdString(), lastPage, firstPage, range, wrap, PrintPageNumbers,
                 copies);
    if (!pdf.isEmpty()) ShowHint("PDF file: " + pdf);
}

QString TQuorvel::ChoosePdfFile(const TFileEditor& editor) {
    QPrinter& printer = *TPrinterAccess::Printer();
    if (printer.outputFormat() != QPrinter::PdfFormat) return {};
    // Without a printer of the system's the text goes to a PDF file beside it (print.pdf in the home
    // folder for an untitled text), unless the print dialog chose a file.
    if (printer.outputFileName().isEmpty() || printer.outputFileName() == m_AutoPdfFile) {
        const fs::path name = editor.FileName().empty() ? fs::path(QDir::homePath().toStdString()) / "print.pdf"
                                                        : fs::path(editor.FileName()).replace_extension(".pdf");
        m_AutoPdfFile = QString::fromStdString(name.string());
        printer.setOutputFileName(m_AutoPdfFile);
    }
    return printer.outputFileName();
}

void TQuorvel::PrintSetup() {
    QPrinter* printer = TPrinterAccess::Printer();
    if (!printer) {
        MessageDlg(kNoPrinter, TMsgDlgType::mtError, TMsgButtons::mbOK);
        return;
    }
    QPageSetupDialog dialog(printer, this);
    dialog.exec();
    for (int i = 0; i < PageCount(); ++i)
        Page(i)->PrinterChanged();
}

void TQuorvel::PageSetup() {
    TFileEditor& editor = *CurrentEditor();
    if (!m_PageSetup) {
        m_PageSetup = new TPageSetupDlg(this);
        connect(&m_PageSetup->HelpButton(), &QPushButton::clicked, m_PageSetup,
                [this] { ShowHelp(m_PageSetup, THelpTopic::htPageSetup); });
        AddHelpKey(m_PageSetup, THelpTopic::htPageSetup);
    }
    TPageSetupDlg& dialog = *m_PageSetup;
    for (int index = 1; index <= 6; ++index)
        dialog.SetLength(index, editor.GetPrinterMetric(index));
    const QString fileName = QString::fromStdString(editor.FileName().string());
    dialog.SetTitle(PrintTitle.empty() ? fileName : QString::fromStdString(PrintTitle));
    dialog.SetPrintPageNumbers(PrintPageNumbers);
    if (dialog.exec() != QDialog::Accepted) return;
    for (int index = 1; index <= 6; ++index)
        editor.SetPrinterMetric(index, dialog.Length(index));
    // The file's own name is no title of its own: the printouts follow the file when it is renamed.
    PrintTitle = dialog.Title() == fileName ? std::string() : dialog.Title().toStdString();
    PrintPageNumbers = dialog.PrintPageNumbers();
    editor.PrinterChanged();
}
