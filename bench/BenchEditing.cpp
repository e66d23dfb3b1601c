// Editing in the editor control, offscreen: typing in the middle of a large file with a repaint after
// every key, and the idle time until line numbers are exact again; Replace All of 100 000 matches
// beside `sed` doing the same to a copy, and its undo; resident memory along the way.
// Usage: bench_editing [size in MB of the typing file, default 1024] [size in MB of the Replace All
// file, default 100]

#include <QApplication>
#include <QKeyEvent>

#include "BenchTools.h"
#include "MailText.h"
#include "editor/FileEditor.h"

namespace fs = std::filesystem;

namespace {

constexpr int kMatches = 100000;
const std::string kFind = "QZX", kReplacement = "done";

// Mail text with `kFind` written over it at kMatches evenly spaced places.
fs::path ReplaceFile(TTextPos bytes) {
    const fs::path path = fs::temp_directory_path() / ("quorvel-replace-" + std::to_string(bytes) + ".txt");
    if (fs::exists(path) && static_cast<TTextPos>(fs::file_size(path)) == bytes) return path;
    std::string text = MailText(bytes);
    const TTextPos step = bytes / kMatches;
    for (TTextPos i = 0; i < kMatches; ++i)
        text.replace(static_cast<size_t>(i * step), kFind.size(), kFind);
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

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void ReplaceAll(TTextPos megabytes) {
    std::printf("== Replace All of %d matches in %lld MB\n", kMatches, static_cast<long long>(megabytes));
    const fs::path file = ReplaceFile(megabytes << 20);
    const std::string copy = (fs::temp_directory_path() / "quorvel-replace-copy.txt").string();
    TimeCommand("cp " + file.string() + " " + copy, 1);
    const double sed = TimeCommand("sed -i 's/" + kFind + "/" + kReplacement + "/g' " + copy, 1);
    TFileEditor editor;
    Open(editor, file);
    const long resident = ResidentKiB();
    TTextPos count = 0;
    editor.OnReplaceAll = [&count](TBigEditor&, TTextPos n) { count = n; };
    double start = Seconds();
    editor.Replace(nullptr, kFind, TFindOptions(frDown) | frMatchCase | frReplaceAll, kReplacement);
    editor.viewport()->repaint();
    const double replace = Seconds() - start;
    Figure("replace_all", replace, "s");
    Figure("  sed -i on a copy", sed, "s");
    Figure("  ratio", replace / sed, "x (target <= 3)");
    Figure("  resident growth", (ResidentKiB() - resident) / 1024.0, "MB");
    const bool same = editor.Text().GetText(0, editor.TextSize()) == ReadAll(copy);
    std::printf("  %lld replaced; the text %s sed's\n", static_cast<long long>(count),
                same ? "equals" : "DIFFERS FROM");
    start = Seconds();
    editor.UndoEdit();
    editor.viewport()->repaint();
    Figure("undo_replace_all", Seconds() - start, "s (target < 1)");
    const bool back = editor.Text().GetText(0, editor.TextSize()) == ReadAll(file);
    std::printf("  the text after undo %s the file\n", back ? "equals" : "DIFFERS FROM");
    Figure("  resident", ResidentKiB() / 1024.0, "MB");
    fs::remove(copy);
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    Typing(argc > 1 ? std::stoll(argv[1]) : 1024);
    ReplaceAll(argc > 2 ? std::stoll(argv[2]) : 100);
    return 0;
}
