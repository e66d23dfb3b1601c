// The editor control on large files, offscreen: the first painted frame after a file is set, the caret
// to the end of a freshly opened file, a repaint after scrolling one line, the whole background scan
// (beside `wc -l` on the same file, run alternately three times) and resident memory; for mail text in
// Windows-1252 and in UTF-8, a 1 MB file and a sparse 5 GiB one.
// Usage: bench_viewer [size in MB, default 1024]

#include <utility>

#include <QApplication>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/TextViewer.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

// Opens `file` in a new view and scans it to the end; returns the scan's seconds. The other figures
// are printed when `report` is set.
double Measure(const fs::path& file, TWrapModes mode, bool report) {
    TTextViewer view;
    auto stream = std::make_unique<TEditStream>();
    TEditStream& text = *stream;
    view.SetTextBuffer(std::move(stream));
    view.resize(820, 640);
    view.SetWrapMode(mode);
    view.show();
    QApplication::processEvents();
    view.viewport()->repaint();
    const long residentEmpty = ResidentKiB();

    TDocumentFile document(text);
    document.OnClear = [&view] { view.Clear(); };
    document.OnReset = [&view] { view.TextLoaded(); };
    double start = Seconds();
    document.SetFileName(file);
    view.viewport()->repaint();
    const double firstFrame = Seconds() - start;

    start = Seconds();
    view.SetCaretLine(view.LastLine());
    view.SetCaretChar(view.LineLength());
    view.viewport()->repaint();
    const double caretToEnd = Seconds() - start;
    const TTextPos landed = view.CaretLine(), estimatedLast = view.LastLine();
    const bool estimated = view.Estimated();

    view.GoToOffset(0, true);
    start = Seconds();
    for (int i = 0; i < 100; ++i) {
        view.SetTopLine(view.TopLine() + 1);
        view.viewport()->repaint();
    }
    const double scroll = (Seconds() - start) / 100;

    start = Seconds();
    double longestStep = 0;
    for (bool done = false; !done;) {
        const double stepStart = Seconds();
        view.IdleStep(done);
        longestStep = std::max(longestStep, Seconds() - stepStart);
    }
    const double scan = Seconds() - start;
    if (!report) return scan;
    Figure("first_frame", firstFrame * 1e3, "ms (target < 50)");
    Figure("caret_to_text_end", caretToEnd * 1e3, "ms (target < 50)");
    std::printf("  landed on line %lld of %lld (estimated: %s)\n", static_cast<long long>(landed),
                static_cast<long long>(estimatedLast), estimated ? "yes" : "no");
    Figure("scroll_one_line_repaint", scroll * 1e3, "ms (target < 5)");
    Figure("  longest idle step", longestStep * 1e3, "ms");
    std::printf("  %lld display lines\n", static_cast<long long>(view.LastLine() + 1));
    Figure("resident_above_empty", (ResidentKiB() - residentEmpty) / 1024.0, "MB (target < 40)");
    return scan;
}

// The figures of one file in one wrap mode, and its whole background scan beside `wc -l`.
void Compared(const char* name, const fs::path& file, TWrapModes mode, const char* target) {
    std::printf("== %s, %s\n", name, mode == TWrapModes::opNone ? "no wrapping" : "window wrapping");
    bool first = true;
    const TComparison c =
        Alternate([&file] { return RunCommand("wc -l " + ShellQuote(file) + " > /dev/null"); },
                  [&] { return Measure(file, mode, std::exchange(first, false)); });
    Compare("background_scan", "wc -l", c, target);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const fs::path big = MailTextFile(megabytes << 20);
    const fs::path small = MailTextFile(1 << 20);
    const fs::path sparse = SparseFile();
    const fs::path utf8 = Utf8MailTextFile(megabytes << 20);
    RunCommand("cat " + ShellQuote(big) + " > /dev/null"); // everything below reads from the page cache
    for (TWrapModes mode : {TWrapModes::opNone, TWrapModes::opWrapScreenWidth}) {
        Compared("mail text", big, mode, "x (target <= 2)");
        Compared("UTF-8 mail text (English, accented Latin, Cyrillic, CJK)", utf8, mode,
                 "x (target: scan < 2000 ms at 1 GB)");
        Compared("1 MB mail text", small, mode, "x");
        Compared("sparse 5 GiB of zeros between text", sparse, mode, "x (target: scan < 3000 ms)");
    }
    return 0;
}
