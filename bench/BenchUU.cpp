// Encodes a 100 MB file into a text model and decodes it back to disk, beside `uuencode` and `uudecode`
// doing the same, each run alternately three times. Usage: bench_uu [size in MB, default 100]

#include <fstream>
#include <random>

#include "BenchTools.h"
#include "FixedCanvas.h"
#include "MailText.h"
#include "mail/UUDecoder.h"
#include "mail/UUEncoder.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

void WriteRandomFile(const fs::path& path, long megabytes) {
    std::mt19937_64 random(1);
    std::vector<std::uint64_t> block(1 << 17);
    std::ofstream out(path, std::ios::binary);
    for (long written = 0; written < (megabytes << 20); written += 1 << 20) {
        for (auto& word : block)
            word = random();
        out.write(reinterpret_cast<const char*>(block.data()), 1 << 20);
    }
}

} // namespace

int main(int argc, char* argv[]) {
    const long megabytes = argc > 1 ? std::stol(argv[1]) : 100;
    const fs::path dir = BenchDirectory() / "uu-work";
    fs::create_directories(dir / "ours");
    const fs::path input = dir / "input.bin";
    WriteRandomFile(input, megabytes);
    const double mb = static_cast<double>(megabytes);
    RunCommand("cat " + ShellQuote(input) + " > /dev/null");

    TFixedCanvas canvas;
    TEditStream text;
    text.SetCanvas(&canvas);
    text.SetMaxUndoLevels(0);
    const TComparison encoded = Alternate(
        [&] {
            return RunCommand("uuencode " + ShellQuote(input) + " input.bin > " +
                              ShellQuote(dir / "tool.uu"));
        },
        [&] {
            text.Clear();
            bool cancelled = false;
            const double start = Seconds();
            TUUEncoder().Encode(input, "input.bin", cancelled, 0, text);
            return Seconds() - start;
        });
    Compare("encode_into_text", "uuencode", encoded, "x (target <= 1)");
    Figure("  throughput", mb / encoded.Ours, "MB/s");

    TUdStates state = TUdStates::NoFile;
    TUUErrors error = ueNone;
    const TComparison decoded = Alternate(
        [&] {
            return RunCommand("uudecode -o " + ShellQuote(dir / "tool.bin") + " " +
                              ShellQuote(dir / "tool.uu"));
        },
        [&] {
            TUUDecoder decoder(dir / "ours");
            const double start = Seconds();
            decoder.Decode(text, 0);
            const double seconds = Seconds() - start;
            state = decoder.State();
            error = decoder.Error();
            return seconds;
        });
    Compare("decode_to_disk", "uudecode", decoded, "x (target <= 1)");
    Figure("  throughput", mb / decoded.Ours, "MB/s");
    std::printf(
        "decoded state %d error %d, same bytes: %s\n", static_cast<int>(state), error,
        std::system(("cmp -s " + ShellQuote(input) + " " + ShellQuote(dir / "ours" / "input.bin")).c_str()) ==
                0
            ? "yes"
            : "NO");
    fs::remove_all(dir);
    return 0;
}
