// Printing through the main window: the print dialog, the questions, the print status with its Cancel
// button, Page Setup and Print Setup, each answered by real key and mouse events.

#include <QLineEdit>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QTest>
#include <QToolBar>

#include "PdfText.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "editor/PageSetupDlg.h"
#include "editor/PrintStatus.h"

namespace {

std::string NumberedLines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i)
        text += QString::asprintf("line %04d of a text long enough to be wrapped in the window\n", i)
                    .toStdString();
    return text;
}

// A window with `text` open as a file, printing to a PDF beside it.
struct PrintingWindow {
    explicit PrintingWindow(const std::string& text, TWrapModes mode = TWrapModes::opPrinter)
        : pdf(QString::fromStdString((dir / "out.pdf").string())), printer(PdfPrinter(pdf)) {
        WriteFile(dir / "doc.txt", text);
        editor = w.window.OpenFileInPage(dir / "doc.txt", true);
        editor->SetWrapMode(mode);
        Settle();
    }
    void Settle() {
        for (bool done = false; !done;)
            editor->IdleStep(done);
    }
    void PrintButton() {
        for (QAction* action : w.window.findChild<QToolBar*>()->actions())
            if (action->text() == "Print") action->trigger();
    }
    TTempDir dir;
    QString pdf;
    QPrinter& printer;
    TWindow w;
    TFileEditor* editor = nullptr;
};

} // namespace

class PrintingTest : public QObject {
    Q_OBJECT
private slots:
    // Ctrl+P, the print dialog accepted, Yes to wrapping: every page printed, headed by the file's name.
    void ctrlPPrintsThroughTheDialog() {
        PrintingWindow p(NumberedLines(150), TWrapModes::opWrapScreenWidth);
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Y); });
        bool dialog = false;
        AnswerModal([&dialog](QWidget& shown) {
            dialog = qobject_cast<QPrintDialog*>(&shown);
            static_cast<QDialog&>(shown).accept();
        });
        p.w.Key(Qt::Key_P, Qt::ControlModifier);
        QVERIFY(dialog);
        QCOMPARE(boxes.Asked, QStringList{"Wrap text to printer width?"});
        QCOMPARE(p.editor->WrapMode(), TWrapModes::opPrinter);
        p.Settle();
        const QStringList pages = PdfPages(p.pdf);
        QCOMPARE(pages.size(), p.editor->PageCount());
        for (int i = 0; i < pages.size(); ++i) {
            const QStringList lines = TextLines(pages[i]);
            QCOMPARE(lines.first(), QString::fromStdString((p.dir / "doc.txt").string()));
            QCOMPARE(lines.last(), QString("Page %1").arg(i + 1));
        }
    }

    // Wrapped at the printer's width already, the tool bar's button prints everything unasked, without
    // page numbers when they are off; a missing or failing printer is reported.
    void theToolButtonPrintsUnasked() {
        PrintingWindow p(NumberedLines(80));
        p.w.window.PrintPageNumbers = false;
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
        p.PrintButton();
        QCOMPARE(boxes.Asked, QStringList{});
        QCOMPARE(TextLines(PdfPages(p.pdf).value(1)).last(),
                 QString::fromStdString(NumberedLines(80)).split('\n')[79]);

        TPrinterAccess::SetSimulateNoPrinter(true);
        p.w.Key(Qt::Key_P, Qt::ControlModifier);
        TPrinterAccess::SetSimulateNoPrinter(false);
        p.printer.setOutputFileName(QString::fromStdString((p.dir / "missing/out.pdf").string()));
        p.PrintButton();
        const QString message = "Unable to access Printer - Please check your printer setup";
        QCOMPARE(boxes.Asked, QStringList({message, message}));
        QCOMPARE(p.editor->State() & (sfBusy | sfPrinting), 0u);
    }

    // The print status shows the sheet being printed; a click on its Cancel reaches it while the
    // editor refuses all other input, and stops the job. Esc in the window asks whether to abandon it.
    void theJobStopsAtCancelOrEsc() {
        PrintingWindow p(NumberedLines(1500));
        const TTextPos pages = p.editor->PageCount();
        TPrintStatus* status = nullptr;
        QString shown;
        p.editor->OnPagePrint = [&](TLinesViewer&, TTextPos page, TTextPos) {
            QTest::qSleep(20); // the next poll lets events through and reports progress
            status = p.w.window.PrintStatus();
            if (page != 3) return;
            shown = status->isVisible() ? status->StatusText() : "hidden";
            QTest::mouseClick(Button(*status, "Cancel"), Qt::LeftButton);
        };
        p.PrintButton();
        QCOMPARE(shown, QString("Page 3 of %1").arg(pages));
        QCOMPARE(PdfPages(p.pdf).size(), 3);
        QVERIFY(status->isHidden() && !status->Cancelled());

        for (Qt::Key answer : {Qt::Key_N, Qt::Key_Y}) {
            TRealBoxes boxes([answer](QMessageBox& box) { QTest::keyClick(&box, answer); });
            p.editor->OnPagePrint = [&](TLinesViewer&, TTextPos page, TTextPos) {
                if (page == 2) QTest::keyClick(p.editor, Qt::Key_Escape);
            };
            p.PrintButton();
            QCOMPARE(boxes.Asked, QStringList{"Abandon Operation?"});
            QCOMPARE(PdfPages(p.pdf).size(), answer == Qt::Key_N ? pages : 2);
        }
    }

    void pageSetupSetsTheMarginsTitleAndNumbers() {
        PrintingWindow p("text\n");
        TQuorvel& window = p.w.window;
        auto pageSetup = [&](std::function<void(TPageSetupDlg&)> fill) {
            AnswerModal([fill](QWidget& dialog) { fill(static_cast<TPageSetupDlg&>(dialog)); });
            MenuCommand(window, "&File", "P&age Setup")->trigger();
        };
        // The title shown is the file's name: left so, the printouts follow the file.
        QString title;
        pageSetup([&title](TPageSetupDlg& dialog) {
            title = dialog.Title();
            QVERIFY(dialog.LengthBox(3).hasFocus()); // the top margin
            dialog.LengthBox(3).setText("2.54cm");
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QCOMPARE(title, QString::fromStdString((p.dir / "doc.txt").string()));
        QVERIFY(std::abs(p.editor->GetPrinterMetric(3) - 1.0f) < 1e-6f);
        QCOMPARE(window.PrintTitle, std::string());

        pageSetup([](TPageSetupDlg& dialog) {
            dialog.SetTitle("Report");
            dialog.SetPrintPageNumbers(false);
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QCOMPARE(window.PrintTitle, std::string("Report"));
        QVERIFY(!window.PrintPageNumbers);

        // A length that does not parse keeps the dialog open at its box; Esc then applies nothing.
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
        bool stayed = false;
        pageSetup([&stayed](TPageSetupDlg& dialog) {
            dialog.LengthBox(1).setText("2 in");
            dialog.SetTitle("Other");
            QTest::keyClick(&dialog, Qt::Key_Return);
            stayed = QTest::qWaitFor([&dialog] { return dialog.focusWidget() == &dialog.LengthBox(1); }) &&
                     dialog.isVisible();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QVERIFY(stayed);
        QCOMPARE(boxes.Asked, QStringList{"Syntax Error in Measurement"});
        QCOMPARE(p.editor->GetPrinterMetric(1), 0.5f);
        QCOMPARE(window.PrintTitle, std::string("Report"));
    }

    // Print Setup tells the editors that the paper may have changed: the page length follows it.
    void printSetupLaysThePagesOutAnew() {
        PrintingWindow p(NumberedLines(200));
        const TTextPos letter = p.editor->LinesPerPage();
        p.printer.setPageSize(QPageSize(QPageSize::A5));
        bool dialog = false;
        AnswerModal([&dialog](QWidget& shown) {
            dialog = qobject_cast<QPageSetupDialog*>(&shown);
            static_cast<QDialog&>(shown).accept();
        });
        MenuCommand(p.w.window, "&File", "Print S&etup...")->trigger();
        QVERIFY(dialog);
        QVERIFY(p.editor->LinesPerPage() < letter);
        p.printer.setPageSize(QPageSize(QPageSize::Letter));
    }
};

QTEST_MAIN(PrintingTest)
#include "PrintingTest.moc"
