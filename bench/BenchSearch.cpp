// Searches a large mail-like file for a text that does not occur, forwards (with and without case)
// and backwards, beside `grep -c -F` and `grep -c -F -i` on the same file (run alternately three times),
// and reports resident memory after searching 100 MB and the whole file. Then the same searches in a UTF-8
// file of the same size (English, accented Latin, Cyrillic and CJK paragraphs), also for a pattern of
// accented letters, beside grep in a UTF-8 locale and the Windows-1252 figures.
// Usage: bench_search [size in MB, default 1024]

#include <memory>
#include <string>

#include "BenchTools.h"
#include "MailText.h"
#include "text/FileStream.h"
#include "text/TextStream.h"

namespace {

const std::string kAbsent = "Zebra crossing";
const std::string kAbsentAccented = "Gr\u00fc\u00dfe \u00fcber Zebra";

// Seconds for a search of the whole text.
double TimeFind(TTextStream& text, TFindOptions options, const std::string& pattern = kAbsent) {
    TTextPos pos = options & frDown ? 0 : text.TextSize() - 1;
    const double start = Seconds();
    if (text.Find(pos, pattern, options))
        std::printf("unexpected match at %lld\n", static_cast<long long>(pos));
    return Seconds() - start;
}

std::unique_ptr<TTextStream> Open(const std::filesystem::path& path) {
    auto text = std::make_unique<TTextStream>();
    text->SetStream(std::make_unique<TFileStream>(path, TFileStream::TMode::fmOpenRead));
    return text;
}

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const auto small = MailTextFile(100 << 20);
    const auto path = MailTextFile(megabytes << 20);
    std::printf("file %s\n", path.c_str());
    const double mb = static_cast<double>(megabytes);

    const long residentStart = ResidentKiB();
    TimeFind(*Open(small), frDown | frMatchCase);
    Figure("resident_after_100MB", ResidentKiB() / 1024.0, "MB");

    auto text = Open(path);
    const std::string grep = "grep -c -F " + ShellQuote(kAbsent) + " " + ShellQuote(path) + " > /dev/null";
    const std::string grepI = "grep -c -F -i " + ShellQuote(kAbsent) + " " + ShellQuote(path) + " > /dev/null";
    auto tool = [](const std::string& command) { return RunCommand("! " + command); }; // no match: status 1
    tool(grep);

    const TComparison forward =
        Alternate([&] { return tool(grep); }, [&] { return TimeFind(*text, frDown | frMatchCase); });
    Compare("find_forward", "grep -c -F", forward, "x (target <= 2)");
    Figure("  throughput", mb / forward.Ours, "MB/s");

    const TComparison ignoreCase =
        Alternate([&] { return tool(grepI); }, [&] { return TimeFind(*text, frDown); });
    Compare("find_forward_any_case", "grep -c -F -i", ignoreCase, "x (target <= 2)");

    const TComparison backward = Alternate([&] { return TimeFind(*text, frDown | frMatchCase); },
                                           [&] { return TimeFind(*text, frMatchCase); });
    Compare("find_backward", "the forward search", backward, "x (target <= 3)");
    Figure("resident_after_whole_file", ResidentKiB() / 1024.0, "MB");
    Figure("resident_growth_from_start", (ResidentKiB() - residentStart) / 1024.0, "MB");

    const auto utf8Path = Utf8MailTextFile(megabytes << 20);
    std::printf("\nfile %s (UTF-8)\n", utf8Path.c_str());
    auto utf8 = Open(utf8Path);
    utf8->SetCharSet(TCharSets::csUtf8);
    auto grepUtf8 = [&](const char* options, const std::string& pattern) {
        return "LC_ALL=C.UTF-8 grep -c -F " + std::string(options) + ShellQuote(pattern) + " " +
               ShellQuote(utf8Path) + " > /dev/null";
    };
    tool(grepUtf8("", kAbsent));
    struct TUtf8Case {
        const char* Name;
        std::string Grep;
        TFindOptions Options;
        const std::string& Pattern;
        double Windows1252;
    };
    const TUtf8Case cases[] = {
        {"utf8_find_forward", grepUtf8("", kAbsent), frDown | frMatchCase, kAbsent, forward.Ours},
        {"utf8_find_forward_any_case", grepUtf8("-i ", kAbsent), frDown, kAbsent, ignoreCase.Ours},
        {"utf8_find_accented_any_case", grepUtf8("-i ", kAbsentAccented), frDown, kAbsentAccented, ignoreCase.Ours},
        {"utf8_find_whole_word_any_case", grepUtf8("-i -w ", kAbsent), frDown | frWholeWord, kAbsent,
         ignoreCase.Ours}};
    for (const TUtf8Case& c : cases) {
        const TComparison utf8Find =
            Alternate([&] { return tool(c.Grep); }, [&] { return TimeFind(*utf8, c.Options, c.Pattern); });
        Compare(c.Name, "grep (UTF-8 locale)", utf8Find, "x");
        Figure("  vs the Windows-1252 search", utf8Find.Ours / c.Windows1252, "x");
    }
    return 0;
}
