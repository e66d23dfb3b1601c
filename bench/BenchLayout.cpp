// Lays out every display line of a large mail-like file, with a fixed-pitch and a proportional font,
// unwrapped and wrapped at 76 characters: many lines at a time (NextLineEnds, as the background line
// count does) beside `wc -l` on the same file, run alternately three times; and one line at a time
// (NextLineEnd, as the line walker and saving with line breaks do). Then the same for a UTF-8 file of
// the same size that mixes English, accented Latin, Cyrillic and CJK paragraphs, beside the
// Windows-1252 figures.
// Usage: bench_layout [size in MB, default 1024]

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "BenchTools.h"
#include "FixedCanvas.h"
#include "MailText.h"
#include "text/FileStream.h"
#include "text/TextStream.h"

namespace {

// Every display line through NextLineEnds; the lines it leaves (the last one, and those before
// form-feed lines) one at a time.
long CountLines(TTextStream& text, TTextPos& widest) {
    long lines = 0;
    widest = 0;
    for (TTextPos pos = 0; pos < text.TextSize();) {
        lines += text.NextLineEnds(pos, text.TextSize(), std::numeric_limits<TTextPos>::max(), widest);
        TTextPos width = 0, count = 0;
        if (pos >= text.TextSize()) break;
        text.NextLineEnd(pos, width, count);
        widest = std::max(widest, width);
        ++lines;
    }
    return lines;
}

long LineByLine(TTextStream& text, TTextPos& widest) {
    long lines = 0;
    widest = 0;
    TTextPos width = 0, count = 0;
    for (TTextPos pos = 0; pos < text.TextSize(); ++lines) {
        text.NextLineEnd(pos, width, count);
        widest = std::max(widest, width);
    }
    return lines;
}

struct TCase {
    const char* Name;
    TFixedCanvas Canvas;
    TTextPos WrapChars;
    const char* Target;
};

// Lays out `path` in every case; returns each case's throughput in MB/s.
std::vector<double> RunCases(const std::string& path, TCharSets set, double mb) {
    const std::string wc = "wc -l " + ShellQuote(path) + " > /dev/null";
    RunCommand(wc); // everything below reads from the page cache
    const char* fixedTarget = "x (target <= 2)";
    const char* proportionalTarget = "x (target: throughput >= 1000 MB/s)";
    const TCase cases[] = {{"fixed_pitch_unwrapped", TFixedCanvas(8), 0, fixedTarget},
                           {"fixed_pitch_wrap76", TFixedCanvas(8), 76, fixedTarget},
                           {"proportional_unwrapped", TFixedCanvas::Proportional(), 0, proportionalTarget},
                           {"proportional_wrap76", TFixedCanvas::Proportional(), 76, proportionalTarget}};
    std::vector<double> throughputs;
    for (TCase c : cases) {
        TTextStream text;
        text.SetStream(std::make_unique<TFileStream>(path, TFileStream::TMode::fmOpenRead));
        text.SetCharSet(set);
        text.SetCanvas(&c.Canvas);
        text.SetMaxWidth(c.WrapChars * text.ScreenAvgCharWidth());
        long lines = 0, single = 0;
        TTextPos widest = 0, singleWidest = 0;
        const TComparison counted = Alternate([&] { return RunCommand(wc); },
                                              [&] {
                                                  const double start = Seconds();
                                                  lines = CountLines(text, widest);
                                                  return Seconds() - start;
                                              });
        std::printf("%s: %ld display lines, the widest %lld pixels\n", c.Name, lines,
                    static_cast<long long>(widest));
        Compare(c.Name, "wc -l", counted, c.Target);
        throughputs.push_back(mb / counted.Ours);
        Figure("  throughput", throughputs.back(), "MB/s");
        const double start = Seconds();
        single = LineByLine(text, singleWidest);
        const double seconds = Seconds() - start;
        Figure("  line by line", mb / seconds, "MB/s");
        if (single != lines || singleWidest != widest)
            std::printf("  LINE BY LINE DIFFERS: %ld lines\n", single);
    }
    return throughputs;
}

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const double mb = static_cast<double>(megabytes);
    const auto path = MailTextFile(megabytes << 20);
    std::printf("file %s (Windows-1252)\n", path.c_str());
    const std::vector<double> windows1252 = RunCases(path, TCharSets::csWindows1252, mb);
    const auto utf8Path = Utf8MailTextFile(megabytes << 20);
    std::printf("\nfile %s (UTF-8)\n", utf8Path.c_str());
    const std::vector<double> utf8 = RunCases(utf8Path, TCharSets::csUtf8, mb);
    const char* names[] = {"fixed_pitch_unwrapped", "fixed_pitch_wrap76", "proportional_unwrapped",
                           "proportional_wrap76"};
    std::printf("\nUTF-8 throughput as a share of Windows-1252's (target >= 0.5)\n");
    for (size_t i = 0; i < utf8.size(); ++i)
        std::printf("  %s: %.2f\n", names[i], utf8[i] / windows1252[i]);
    return 0;
}
