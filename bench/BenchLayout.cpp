// Lays out every display line of a large mail-like file with NextLineEnd, with a fixed-pitch and a
// proportional font, unwrapped and wrapped at 76 characters, beside `wc -l` on the same file.
// Usage: bench_layout [size in MB, default 1024]

#include <memory>
#include <string>

#include "BenchTools.h"
#include "FixedCanvas.h"
#include "MailText.h"
#include "text/FileStream.h"
#include "text/TextStream.h"

namespace {

// Seconds for the best of two passes over every display line; `lines` gets their number.
double LayOutAll(TTextStream& text, long& lines) {
    double best = 1e30;
    for (int run = 0; run < 2; ++run) {
        const double start = Seconds();
        lines = 0;
        TTextPos width = 0, count = 0;
        for (TTextPos pos = 0; pos < text.TextSize(); ++lines) text.NextLineEnd(pos, width, count);
        best = std::min(best, Seconds() - start);
    }
    return best;
}

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const auto path = MailTextFile(megabytes << 20);
    std::printf("file %s\n", path.c_str());
    const std::string wc = "wc -l " + ShellQuote(path) + " > /dev/null";
    TimeCommand(wc, 1); // everything below reads from the page cache
    const double wcSeconds = TimeCommand(wc, 3);
    const double mb = static_cast<double>(megabytes);
    Figure("wc -l", mb / wcSeconds, "MB/s");

    struct TCase {
        const char* Name;
        TFixedCanvas Canvas;
        TTextPos WrapChars;
    };
    const TCase cases[] = {{"fixed_pitch_unwrapped", TFixedCanvas(8), 0},
                           {"fixed_pitch_wrap76", TFixedCanvas(8), 76},
                           {"proportional_unwrapped", TFixedCanvas::Proportional(), 0},
                           {"proportional_wrap76", TFixedCanvas::Proportional(), 76}};
    for (TCase c : cases) {
        TTextStream text;
        text.SetStream(std::make_unique<TFileStream>(path, TFileStream::TMode::fmOpenRead));
        text.SetCanvas(&c.Canvas);
        text.SetMaxWidth(c.WrapChars * text.ScreenAvgCharWidth());
        long lines = 0;
        const double seconds = LayOutAll(text, lines);
        std::printf("%s: %ld display lines\n", c.Name, lines);
        Figure(c.Name, mb / seconds, "MB/s");
        Figure("  time vs wc -l", seconds / wcSeconds, "x");
    }
    return 0;
}
