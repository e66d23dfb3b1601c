// The editor control on large files, offscreen: the first painted frame after a file is set, the caret
// to the end of a freshly opened file, a repaint after scrolling one line, the whole background scan
// (beside `wc -l` on the same file) and resident memory. Usage: bench_viewer [size in MB, default 1024]

#include <fcntl.h>
#include <unistd.h>

#include <QApplication>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/TextViewer.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

// A sparse file: 1 MB of text, 5 GiB of zero bytes (one enormous line), 1 MB of text.
fs::path SparseFile(const fs::path& dir) {
    const fs::path path = dir / "sparse-5GiB.txt";
    const std::string text = MailText(1 << 20);
    const TTextPos zeros = TTextPos{5} << 30;
    const int handle = ::open(path.c_str(), O_CREAT | O_TRUNC | O_WRONLY, 0644);
    if (handle < 0 || ::pwrite(handle, text.data(), text.size(), 0) < 0 ||
        ::pwrite(handle, text.data(), text.size(), static_cast<off_t>(text.size()) + zeros) < 0)
        std::exit(1);
    ::close(handle);
    return path;
}

void Measure(const char* name, const fs::path& file, TWrapModes mode) {
    std::printf("== %s, %s\n", name, mode == TWrapModes::opNone ? "no wrapping" : "window wrapping");
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
    Figure("first_frame", (Seconds() - start) * 1e3, "ms (target < 50)");

    start = Seconds();
    view.SetCaretLine(view.LastLine());
    view.SetCaretChar(view.LineLength());
    view.viewport()->repaint();
    Figure("caret_to_text_end", (Seconds() - start) * 1e3, "ms (target < 50)");
    std::printf("  landed on line %lld of %lld (estimated: %s)\n", static_cast<long long>(view.CaretLine()),
                static_cast<long long>(view.LastLine()), view.Estimated() ? "yes" : "no");

    view.GoToOffset(0, true);
    start = Seconds();
    for (int i = 0; i < 100; ++i) {
        view.SetTopLine(view.TopLine() + 1);
        view.viewport()->repaint();
    }
    Figure("scroll_one_line_repaint", (Seconds() - start) * 1e3 / 100, "ms (target < 5)");

    start = Seconds();
    double longestStep = 0;
    for (bool done = false; !done;) {
        const double stepStart = Seconds();
        view.IdleStep(done);
        longestStep = std::max(longestStep, Seconds() - stepStart);
    }
    const double scan = Seconds() - start;
    Figure("background_scan", scan * 1e3, "ms");
    Figure("  longest idle step", longestStep * 1e3, "ms");
    std::printf("  %lld display lines\n", static_cast<long long>(view.LastLine() + 1));
    Figure("resident_above_empty", (ResidentKiB() - residentEmpty) / 1024.0, "MB (target < 40)");
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const fs::path big = MailTextFile(megabytes << 20);
    const fs::path small = MailTextFile(1 << 20);
    const fs::path dir = big.parent_path() / "viewer-work";
    fs::create_directories(dir);
    const fs::path sparse = SparseFile(dir);

    const std::string wc = "wc -l " + ShellQuote(big) + " > /dev/null";
    TimeCommand(wc, 1);
    Figure("wc -l", TimeCommand(wc, 3) * 1e3, "ms");
    for (TWrapModes mode : {TWrapModes::opNone, TWrapModes::opWrapScreenWidth}) {
        Measure("mail text", big, mode);
        Measure("1 MB mail text", small, mode);
        Measure("sparse 5 GiB of zeros between text", sparse, mode);
    }
    fs::remove_all(dir);
    return 0;
}
