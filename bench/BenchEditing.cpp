// Editing in the editor control, offscreen: typing in the middle of a large file with a repaint after
// every key, and the idle time until line numbers are exact again; Replace All of a match every 784
// bytes (1.37 million in 1 GB) beside `sed` doing the same to a copy, and its undo; resident memory
// along the way. Usage: bench_editing [size in MB of the typing file, default 1024] [size in MB of the
// Replace All file, default 1024]

#include <string_view>

#include <QApplication>
#include <QKeyEvent>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/FileEditor.h"

namespace fs = std::filesystem;

namespace {

constexpr TTextPos kMatchEvery = 784;
const std::string kFind = "QZX", kReplacement = "done";

// Mail text with `kFind` written over it every kMatchEvery bytes.
fs::path ReplaceFile(TTextPos bytes) {
    const fs::path path = MailTextFile(0).parent_path() / ("replace-" + std::to_string(bytes) + ".txt");
    if (fs::exists(path) && static_cast<TTextPos>(fs::file_size(path)) == bytes) return path;
    std::string text = MailText(bytes);
    for (TTextPos at = 0; at + 3 <= bytes; at += kMatchEvery)
        text.replace(static_cast<size_t>(at), kFind.size(), kFind);
    std::ofstream(path, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    return path;
}

void Open(TFileEditor& editor, const fs::path& file) {
    editor.resize(820, 640);
    editor.show();
    QApplication::processEvents();
    editor.Document().SetFileName(file);
    editor.viewport()->repaint();
}

// Runs the background scan to its end; the seconds it took until line numbers were exact, and in all.
std::pair<double, double> Scan(TFileEditor& editor) {
    const double start = Seconds();
    double exact = editor.Estimated() ? -1 : 0;
    for (bool done = false; !done;) {
        editor.IdleStep(done);
        if (exact < 0 && !editor.Estimated()) exact = Seconds() - start;
    }
    return {exact < 0 ? Seconds() - start : exact, Seconds() - start};
}

void Typing(TTextPos megabytes) {
    std::printf("== typing in the middle of %lld MB\n", static_cast<long long>(megabytes));
    TFileEditor editor;
    Open(editor, MailTextFile(megabytes << 20));
    Scan(editor);
    editor.GoToOffset(editor.TextSize() / 2, false);
    editor.viewport()->repaint();
    const long resident = ResidentKiB();
    double worst = 0;
    const double start = Seconds();
    for (int i = 0; i < 1000; ++i) {
        const double t = Seconds();
        const QString c(QChar('a' + i % 26));
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A + i % 26, Qt::NoModifier, c);
        QApplication::sendEvent(&editor, &press);
        editor.viewport()->repaint();
        worst = std::max(worst, Seconds() - t);
    }
    Figure("keystroke_with_repaint", (Seconds() - start) * 1e3 / 1000, "ms mean (target < 2)");
    Figure("  worst keystroke", worst * 1e3, "ms");
    const auto [exact, all] = Scan(editor);
    Figure("idle_until_lines_exact", exact, "s");
    Figure("idle_until_layout_complete", all, "s");
    Figure("  resident growth", (ResidentKiB() - resident) / 1024.0, "MB");
    Figure("  resident", ResidentKiB() / 1024.0, "MB");
}

// Whether the editor's text is the file's, compared a megabyte at a time.
bool SameText(TFileEditor& editor, const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string chunk(1 << 20, '\0');
    TTextPos pos = 0;
    while (in.read(chunk.data(), static_cast<std::streamsize>(chunk.size())) || in.gcount() > 0) {
        const auto n = static_cast<TTextPos>(in.gcount());
        if (editor.Text().GetText(pos, n) != std::string_view(chunk.data(), static_cast<size_t>(n)))
            return false;
        pos += n;
    }
    return pos == editor.TextSize();
}

void ReplaceAll(TTextPos megabytes) {
    std::printf("== Replace All of a match every %lld bytes in %lld MB\n",
                static_cast<long long>(kMatchEvery), static_cast<long long>(megabytes));
    const fs::path file = ReplaceFile(megabytes << 20);
    const fs::path copy = BenchDirectory() / "replace-copy.txt";
    TTextPos count = 0;
    double growth = -1; // of the first run, in a process that never held such a text before
    bool same = true, back = true;
    std::vector<double> undos;
    const TComparison c = Alternate(
        [&] {
            RunCommand("cp " + ShellQuote(file) + " " + ShellQuote(copy));
            return RunCommand("sed -i 's/" + kFind + "/" + kReplacement + "/g' " + ShellQuote(copy));
        },
        [&] {
            TFileEditor editor;
            Open(editor, file);
            const long resident = ResidentKiB();
            editor.OnReplaceAll = [&count](TBigEditor&, TTextPos n) { count = n; };
            double start = Seconds();
            editor.Replace(nullptr, kFind, TFindOptions(frDown) | frMatchCase | frReplaceAll, kReplacement);
            editor.viewport()->repaint();
            const double replace = Seconds() - start;
            if (growth < 0) growth = (ResidentKiB() - resident) / 1024.0;
            same = same && SameText(editor, copy); // sed's text from the run just before
            start = Seconds();
            editor.UndoEdit();
            editor.viewport()->repaint();
            undos.push_back(Seconds() - start);
            back = back && SameText(editor, file);
            return replace;
        });
    Compare("replace_all", "sed -i on a copy", c, "x (target <= 3)");
    Figure("  resident growth", growth, "MB (first run; target < 150 at 1 GB)");
    Figure("  per replacement", growth * (1 << 20) / static_cast<double>(std::max<TTextPos>(count, 1)),
           "bytes (target <= 100)");
    Figure("undo_replace_all", Median(undos), "s (median of 3; target < 1)");
    std::printf("  %lld replaced; the text %s sed's, and after undo %s the file\n",
                static_cast<long long>(count), same ? "equals" : "DIFFERS FROM",
                back ? "equals" : "DIFFERS FROM");
    fs::remove(copy);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Typing(argc > 1 ? std::stoll(argv[1]) : 1024);
    ReplaceAll(argc > 2 ? std::stoll(argv[2]) : 1024);
    return 0;
}
