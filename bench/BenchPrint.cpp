// Printing to PDF in the editor control, offscreen: a whole file (pages per second, resident memory
// above the open document, beside `enscript` writing PostScript of the same file) and the time until
// the first page of a large file is written. Usage: bench_print [MB to print, default 100] [MB of the
// large file, default 1024]

#include <utility>

#include <QApplication>
#include <QPageSize>
#include <QPrinter>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/PrinterAccess.h"
#include "editor/TextViewer.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

// An editor wrapping at the printer's width with `file` open, printing to `pdf` on Letter paper.
struct TPrintingView {
    TPrintingView(const fs::path& file, const fs::path& pdf) {
        QPrinter& printer = *TPrinterAccess::Printer();
        printer.setOutputFileName(QString::fromStdString(pdf.string()));
        printer.setPageSize(QPageSize(QPageSize::Letter));
        auto stream = std::make_unique<TEditStream>();
        TEditStream& text = *stream;
        view.SetTextBuffer(std::move(stream));
        view.resize(820, 640);
        view.SetWrapMode(TWrapModes::opPrinter);
        view.show();
        QApplication::processEvents();
        document = std::make_unique<TDocumentFile>(text);
        document->OnClear = [this] { view.Clear(); };
        document->OnReset = [this] { view.TextLoaded(); };
        document->SetFileName(file);
    }
    void Print() { view.Print("bench", "bench", 1, 1, 0, true, true); }

    TTextViewer view;
    std::unique_ptr<TDocumentFile> document;
};

// Prints `file` whole into `pdf` and returns the seconds; the other figures are printed when `report`
// is set.
double PrintWhole(const fs::path& file, const fs::path& pdf, bool report) {
    TPrintingView printing(file, pdf);
    const long opened = ResidentKiB();
    long peak = opened;
    TTextPos pages = 0;
    printing.view.OnPagePrint = [&](TLinesViewer&, TTextPos page, TTextPos) {
        pages = page;
        if (page % 16 == 0) peak = std::max(peak, ResidentKiB());
    };
    const double start = Seconds();
    printing.Print();
    const double seconds = Seconds() - start;
    peak = std::max(peak, ResidentKiB());
    if (!report) return seconds;
    std::printf("%lld pages, %.1f MB of PDF\n", static_cast<long long>(pages),
                static_cast<double>(fs::file_size(pdf)) / (1 << 20));
    Figure("  pages per second", static_cast<double>(pages) / seconds, "pages/s");
    Figure("  MB of text per second", static_cast<double>(fs::file_size(file)) / (1 << 20) / seconds, "MB/s");
    Figure("  resident above open file", (peak - opened) / 1024.0, "MB (target < 100)");
    return seconds;
}

void FirstPage(const fs::path& file, const fs::path& pdf) {
    TPrintingView printing(file, pdf);
    double start = 0, written = 0;
    // Page 2 begins once page 1 has gone to the file; then the job is cancelled.
    printing.view.OnPagePrint = [&](TLinesViewer&, TTextPos page, TTextPos) {
        if (page == 2) written = Seconds();
    };
    printing.view.OnProgressEvent = [&](TLinesViewer&, TTextPos, TTextPos, bool& cancel) {
        cancel = written > 0;
    };
    start = Seconds();
    printing.Print();
    const double end = Seconds();
    Figure("first_page_written", (written - start) * 1e3, "ms (target < 2000)");
    Figure("  whole job, cancelled after it", (end - start) * 1e3, "ms");
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TTextPos whole = argc > 1 ? std::stoll(argv[1]) : 100;
    const TTextPos large = argc > 2 ? std::stoll(argv[2]) : 1024;
    const fs::path file = MailTextFile(whole << 20);
    const fs::path dir = file.parent_path() / "print-work";
    fs::create_directories(dir);

    std::printf("== printing %lld MB of mail text to PDF\n", static_cast<long long>(whole));
    bool first = true;
    auto ours = [&] { return PrintWhole(file, dir / "whole.pdf", std::exchange(first, false)); };
    if (std::system("command -v enscript > /dev/null") == 0) {
        const std::string enscript = "enscript -q -p " + ShellQuote(dir / "whole.ps") + " " + ShellQuote(file);
        Compare("print_whole_file", "enscript -p (PostScript)",
                Alternate([&enscript] { return RunCommand(enscript); }, ours), "x");
    } else {
        std::printf("enscript: not installed, no figure beside\n");
        Figure("print_whole_file", ours() * 1e3, "ms");
    }
    fs::remove(dir / "whole.pdf");
    fs::remove(dir / "whole.ps");

    std::printf("== first page of %lld MB\n", static_cast<long long>(large));
    FirstPage(MailTextFile(large << 20), dir / "first.pdf");
    fs::remove_all(dir);
    return 0;
}
