// Encodes a 100 MB file into a text model and decodes it back to disk, beside `uuencode` and
// `uudecode` doing the same in the same run. Usage: bench_uu [size in MB, default 100]

#include <fstream>
#include <random>

#include "BenchTools.h"
#include "FixedCanvas.h"
#include "mail/UUDecoder.h"
#include "mail/UUEncoder.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

int main(int argc, char* argv[]) {
    const long megabytes = argc > 1 ? std::stol(argv[1]) : 100;
    const fs::path dir = fs::temp_directory_path() / "quorvel-bench" / "uu-work";
    fs::create_directories(dir);
    const fs::path input = dir / "input.bin";
    {
        std::mt19937_64 random(1);
        std::vector<std::uint64_t> block(1 << 17);
        std::ofstream out(input, std::ios::binary);
        for (long written = 0; written < (megabytes << 20); written += 1 << 20) {
            for (auto& word : block) word = random();
            out.write(reinterpret_cast<const char*>(block.data()), 1 << 20);
        }
    }
    const double mb = static_cast<double>(megabytes);
    TimeCommand("cat " + ShellQuote(input) + " > /dev/null", 1);

    TFixedCanvas canvas;
    TEditStream text;
    text.SetCanvas(&canvas);
    text.SetMaxUndoLevels(0);
    bool cancelled = false;
    double start = Seconds();
    TUUEncoder().Encode(input, "input.bin", cancelled, 0, text);
    const double encode = Seconds() - start;
    const double uuencode = TimeCommand("uuencode " + ShellQuote(input) + " input.bin > " + ShellQuote(dir / "tool.uu"), 1);
    Figure("encode_into_text", mb / encode, "MB/s");
    Figure("uuencode", mb / uuencode, "MB/s");
    Figure("  time vs uuencode", encode / uuencode, "x (target <= 2)");

    TUUDecoder decoder(dir / "ours");
    fs::create_directories(dir / "ours");
    start = Seconds();
    decoder.Decode(text, 0);
    const double decode = Seconds() - start;
    const double uudecode =
        TimeCommand("uudecode -o " + ShellQuote(dir / "tool.bin") + " " + ShellQuote(dir / "tool.uu"), 1);
    Figure("decode_to_disk", mb / decode, "MB/s");
    Figure("uudecode", mb / uudecode, "MB/s");
    Figure("  time vs uudecode", decode / uudecode, "x (target <= 2)");
    std::printf("decoded state %d error %d, same bytes: %s\n", static_cast<int>(decoder.State()), decoder.Error(),
                std::system(("cmp -s " + ShellQuote(input) + " " + ShellQuote(dir / "ours" / "input.bin")).c_str()) == 0
                    ? "yes"
                    : "NO");
    fs::remove_all(dir);
    return 0;
}
