// Selections on a large file in the editor control, offscreen: Select All and its size, Find Next over
// the whole file with progress (and once cancelled with Esc), and copying everything to the clipboard
// and reading it back as a pasting program would, with resident memory along the way.
// Usage: bench_select [size in MB, default 1024]

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMimeData>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/TextViewer.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const auto file = MailTextFile(megabytes << 20);
    TTextViewer view;
    auto stream = std::make_unique<TEditStream>();
    TEditStream& text = *stream;
    view.SetTextBuffer(std::move(stream));
    view.resize(820, 640);
    view.show();
    QApplication::processEvents();
    TDocumentFile document(text);
    document.OnClear = [&view] { view.Clear(); };
    document.OnReset = [&view] { view.TextLoaded(); };
    document.SetFileName(file);
    const long start = ResidentKiB();
    Figure("resident_with_file", start / 1024.0, "MB");

    double t = Seconds();
    view.SelectAll();
    const TTextPos size = view.SelectionSize();
    Figure("select_all_and_size", (Seconds() - t) * 1e3, "ms");
    std::printf("selection size %lld bytes\n", static_cast<long long>(size));
    Figure("  resident growth", (ResidentKiB() - start) / 1024.0, "MB");

    view.Cancel();
    view.GoToOffset(0, false);
    int reports = 0;
    view.OnProgressEvent = [&reports](TLinesViewer&, TTextPos, TTextPos, bool&) { ++reports; };
    t = Seconds();
    const bool found = view.Find(nullptr, "Zebra crossing", frDown | frMatchCase), foundNext = view.FindNext(nullptr);
    Figure("find_next_whole_file", (Seconds() - t) * 1e3 / 2, "ms per search");
    std::printf("found: %s, progress reports: %d\n", found || foundNext ? "yes" : "no", reports);
    Figure("  resident growth", (ResidentKiB() - start) / 1024.0, "MB");

    // Esc pressed while the search runs: the abort question is answered Yes.
    view.OnProgressEvent = [&view](TLinesViewer&, TTextPos done, TTextPos, bool&) {
        if (done > 0) QCoreApplication::postEvent(&view, new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier));
    };
    int asked = 0;
    view.OnAbortRequest = [&asked](TLinesViewer&, TModalResult& answer) {
        ++asked;
        answer = TModalResult::mrYes;
    };
    view.GoToOffset(0, false);
    t = Seconds();
    view.FindNext(nullptr);
    Figure("find_cancelled_by_esc_after", (Seconds() - t) * 1e3, "ms");
    std::printf("abort question asked %d time(s)\n", asked);
    Figure("  resident growth", (ResidentKiB() - start) / 1024.0, "MB");

    // Copying hands the clipboard a snapshot: the bytes are read only when a program asks for them.
    view.OnProgressEvent = nullptr;
    view.SelectAll();
    t = Seconds();
    view.CopyToClipboard();
    Figure("copy_everything_to_clipboard", (Seconds() - t) * 1e3, "ms (before anyone pastes)");
    Figure("  resident growth", (ResidentKiB() - start) / 1024.0, "MB");
    t = Seconds();
    const qsizetype pasted = QGuiApplication::clipboard()->mimeData()->data("text/plain").size();
    Figure("clipboard_read_by_a_paster", (Seconds() - t) * 1e3, "ms");
    std::printf("%lld bytes of UTF-8 handed over\n", static_cast<long long>(pasted));
    Figure("cat_of_the_file", TimeCommand("cat '" + file.string() + "' > /dev/null", 3) * 1e3, "ms");
    return 0;
}
