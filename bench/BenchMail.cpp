// The mail commands on large files in the editor control, offscreen, each beside a standard tool
// doing the same work, the two run alternately three times: Reformat Quoted Text over a quoted mail archive beside
// `fmt -p '>' -w 72`, Flow Text over the rest of a large file beside `fmt -w 2500`, and UUDecode of a
// document holding several encoded files beside `uudecode`. For each: the time, the resident memory
// the command added above the open file at its peak, and the longest the window went without
// handling its events (how long Esc could wait for an answer), watched in the first run.
// Usage: bench_mail [MB of the archive, default 100] [MB of the flowed file, default 1024]
//                   [MB of the encoded document, default 100]

#include <random>

#include <QApplication>
#include <QTimer>

#include "BenchTools.h"
#include "MailText.h"
#include "mail/MailEditor.h"
#include "mail/UUEncoder.h"

namespace fs = std::filesystem;

namespace {

const fs::path kDir = fs::temp_directory_path() / "quorvel-bench";

// Watches a command from the event loop it pumps: the resident memory at its peak and the longest
// time between two turns of the loop.
class TWatch {
public:
    TWatch() {
        m_Timer.setInterval(2);
        QObject::connect(&m_Timer, &QTimer::timeout, [this] { Tick(); });
    }
    void Start() {
        m_Base = m_Peak = ResidentKiB();
        m_Worst = 0;
        m_Last = Seconds();
        m_Timer.start();
    }
    void Stop() {
        Tick();
        m_Timer.stop();
        m_Watched = true;
    }
    bool Watched() const { return m_Watched; }
    void Report(const char* name, const TComparison& c, const char* peerName) {
        Compare(name, peerName, c, "x (target <= 3)");
        Figure("  memory above the open file", (m_Peak - m_Base) / 1024.0, "MB at the peak (target < 100)");
        Figure("  longest without events", m_Worst * 1e3, "ms (target < 100)");
    }

private:
    void Tick() {
        const double now = Seconds();
        m_Worst = std::max(m_Worst, now - m_Last);
        m_Last = now;
        m_Peak = std::max(m_Peak, ResidentKiB());
    }
    QTimer m_Timer;
    long m_Base = 0, m_Peak = 0;
    double m_Worst = 0, m_Last = 0;
    bool m_Watched = false;
};

void Open(TMailEditor& editor, const fs::path& file, TWrapModes mode, int columns) {
    editor.setFont(QFont("DejaVu Sans Mono", 10));
    editor.resize(820, 640);
    editor.show();
    QApplication::processEvents();
    editor.SetFileName(file);
    editor.SetMaxLineLength(columns);
    editor.SetWrapMode(mode);
    editor.viewport()->repaint();
}

// Seconds of `command` writing its output to a file that is removed after.
double Tool(const std::string& command) {
    const double seconds = RunCommand(command + " > " + ShellQuote(kDir / "fmt.out"));
    fs::remove(kDir / "fmt.out");
    return seconds;
}

// Seconds of `run`, watched by `watch` the first time only: later runs in the same process reuse
// memory that the first one had to take.
template <typename TRun> double Watched(TWatch& watch, TRun run) {
    const bool first = !watch.Watched();
    if (first) watch.Start();
    const double start = Seconds();
    run();
    const double seconds = Seconds() - start;
    if (first) watch.Stop();
    return seconds;
}

// Mail in which every line is quoted, as a folder of replies holds it; kept between runs.
fs::path QuotedArchive(TTextPos bytes) {
    const fs::path path = kDir / ("quoted-" + std::to_string(bytes) + ".txt");
    if (fs::exists(path) && static_cast<TTextPos>(fs::file_size(path)) == bytes) return path;
    const std::string mail = MailText(bytes);
    std::string quoted;
    quoted.reserve(mail.size() + mail.size() / 20);
    for (size_t start = 0; start < mail.size() && static_cast<TTextPos>(quoted.size()) < bytes;) {
        const size_t end = std::min(mail.find('\n', start), mail.size() - 1) + 1;
        (quoted += "> ") += mail.substr(start, end - start);
        start = end;
    }
    quoted.resize(static_cast<size_t>(bytes));
    std::ofstream(path, std::ios::binary).write(quoted.data(), static_cast<std::streamsize>(quoted.size()));
    return path;
}

void Reformat(TTextPos megabytes) {
    std::printf("== Reformat Quoted Text over a %lld MB quoted archive, 72 columns\n",
                static_cast<long long>(megabytes));
    const fs::path file = QuotedArchive(megabytes << 20);
    TWatch watch;
    TTextPos size = 0;
    const TComparison c = Alternate(
        [&file] { return Tool("fmt -p '>' -w 72 " + ShellQuote(file)); },
        [&] {
            TMailEditor editor;
            Open(editor, file, TWrapModes::opAbsoluteWrap, 72);
            return Watched(watch, [&] {
                editor.ReformatQuoted(">", ">");
                editor.viewport()->repaint();
                size = editor.TextSize();
            });
        });
    watch.Report("reformat_quoted", c, "fmt -p '>' -w 72");
    std::printf("  %lld bytes became %lld\n", static_cast<long long>(megabytes << 20), static_cast<long long>(size));
}

void Flow(TTextPos megabytes) {
    std::printf("== Flow Text over the rest of a %lld MB file\n", static_cast<long long>(megabytes));
    const fs::path file = MailTextFile(megabytes << 20);
    TWatch watch;
    TTextPos size = 0;
    const TComparison c = Alternate([&file] { return Tool("fmt -w 2500 " + ShellQuote(file)); },
                                    [&] {
                                        TMailEditor editor;
                                        Open(editor, file, TWrapModes::opWrapScreenWidth, 76);
                                        editor.GoToLine(40); // the rest: from the 40th line on
                                        return Watched(watch, [&] {
                                            editor.FlowText();
                                            editor.viewport()->repaint();
                                            size = editor.TextSize();
                                        });
                                    });
    watch.Report("flow_text", c, "fmt -w 2500");
    std::printf("  %lld bytes became %lld\n", static_cast<long long>(megabytes << 20), static_cast<long long>(size));
}

// A document of mail text with `files` random files encoded into it, about `bytes` long in all, and
// the same document cut into one part per encoded file for `uudecode`, which decodes one file each.
std::vector<fs::path> EncodedDocument(TTextPos bytes, int files, const fs::path& document) {
    const TTextPos each = bytes * 45 / 61 / files; // encoded lines carry 45 bytes in 61 characters
    TEditStream text;
    std::mt19937_64 random(7);
    std::vector<fs::path> parts;
    for (int i = 0; i < files; ++i) {
        const fs::path binary = kDir / ("encoded-" + std::to_string(i) + ".bin");
        std::vector<std::uint64_t> words(static_cast<size_t>(each / 8));
        for (auto& word : words)
            word = random();
        std::ofstream(binary, std::ios::binary)
            .write(reinterpret_cast<const char*>(words.data()),
                   static_cast<std::streamsize>(words.size() * 8));
        const TTextPos partStart = text.TextSize();
        text.InsertString(MailText(64 << 10), text.TextSize());
        bool cancelled = false;
        TUUEncoder().Encode(binary, binary.filename().string(), cancelled, text.TextSize(), text);
        fs::remove(binary);
        parts.push_back(kDir / ("part-" + std::to_string(i) + ".uu"));
        const std::string part = text.GetText(partStart, text.TextSize() - partStart);
        std::ofstream(parts.back(), std::ios::binary)
            .write(part.data(), static_cast<std::streamsize>(part.size()));
    }
    const std::string all = text.GetText(0, text.TextSize());
    std::ofstream(document, std::ios::binary).write(all.data(), static_cast<std::streamsize>(all.size()));
    return parts;
}

void Decode(TTextPos megabytes) {
    std::printf("== UUDecode of a %lld MB document holding 5 encoded files\n",
                static_cast<long long>(megabytes));
    const fs::path document = kDir / "encoded.txt";
    const std::vector<fs::path> parts = EncodedDocument(megabytes << 20, 5, document);
    fs::create_directories(kDir / "peer");
    fs::create_directories(kDir / "ours");
    std::string command = "cd " + ShellQuote(kDir / "peer");
    for (const fs::path& part : parts)
        command += " && uudecode " + ShellQuote(part);
    TWatch watch;
    int ok = 0;
    const TComparison c = Alternate([&command] { return RunCommand(command); },
                                    [&] {
                                        TMailEditor editor;
                                        Open(editor, document, TWrapModes::opNone, 76);
                                        editor.OnStartDecode = [](TUUDecoder&, std::string& name, bool&) {
                                            name = (kDir / "ours" / name).string();
                                        };
                                        ok = 0;
                                        editor.OnEndDecode = [&ok](TUUDecoder&, TUdStates state, TUUErrors error,
                                                                   const std::string&) {
                                            ok += state == TUdStates::FileSummed && error == ueNone;
                                        };
                                        return Watched(watch, [&editor] { editor.DecodeText(); });
                                    });
    watch.Report("uudecode_text", c, "uudecode");
    bool same = true;
    for (int i = 0; i < 5; ++i) {
        const std::string name = "encoded-" + std::to_string(i) + ".bin";
        same = same && std::system(("cmp -s " + ShellQuote(kDir / "ours" / name) + " " +
                                    ShellQuote(kDir / "peer" / name))
                                       .c_str()) == 0;
    }
    std::printf("  %d of 5 files with both checksums right; the same bytes as uudecode's: %s\n", ok,
                same ? "yes" : "NO");
    for (const fs::path& part : parts)
        fs::remove(part);
    fs::remove(document);
    fs::remove_all(kDir / "peer");
    fs::remove_all(kDir / "ours");
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    fs::create_directories(kDir);
    Reformat(argc > 1 ? std::stoll(argv[1]) : 100);
    Flow(argc > 2 ? std::stoll(argv[2]) : 1024);
    Decode(argc > 3 ? std::stoll(argv[3]) : 100);
    return 0;
}
