// Binds a large mail-like file to a virtual stream and reads it whole in 4 KB reads, beside `cat` reading
// the same file, run alternately three times. Usage: bench_read [size in MB, default 1024] [file]

#include <memory>
#include <string>

#include "BenchTools.h"
#include "MailText.h"
#include "text/FileStream.h"
#include "text/VirtualStreamList.h"

namespace {

// Reads the whole chain in 4 KB reads; returns a sum of one byte per read so the reads are used.
long ReadWhole(TVirtualStreamList& list) {
    unsigned char block[4096];
    long sum = 0;
    list.Seek(0);
    for (TTextPos left = list.Size(); left > 0;) {
        const TTextPos n = std::min<TTextPos>(left, sizeof block);
        list.Read(block, n);
        sum += block[n - 1];
        left -= n;
    }
    return sum;
}

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const std::filesystem::path path = argc > 2 ? std::filesystem::path(argv[2]) : MailTextFile(megabytes << 20);
    std::printf("file %s\n", path.c_str());
    const std::string cat = "cat " + ShellQuote(path) + " > /dev/null";
    RunCommand(cat); // both measurements read from the page cache

    const long residentBefore = ResidentKiB();
    const double bindStart = Seconds();
    TFileStream file(path, TFileStream::TMode::fmOpenRead);
    TVirtualStreamList list;
    list.Insert(std::make_unique<TStreamSegment>(file, 0, file.Size()));
    const double bindSeconds = Seconds() - bindStart;
    const long residentAdded = ResidentKiB() - residentBefore;

    long sum = 0;
    const TComparison read = Alternate([&cat] { return RunCommand(cat); },
                                       [&] {
                                           const double start = Seconds();
                                           sum = ReadWhole(list);
                                           return Seconds() - start;
                                       });
    const double mb = static_cast<double>(list.Size()) / (1 << 20);

    Figure("size", mb, "MB");
    std::printf("checksum %ld\n", sum);
    Figure("bind_time", bindSeconds * 1e3, "ms (target < 1)");
    Figure("bind_resident_added", residentAdded / 1024.0, "MB (target < 2)");
    Compare("read_4k", "cat", read, "x (target <= 2)");
    Figure("  throughput", mb / read.Ours, "MB/s");
    Figure("resident_after_reads", ResidentKiB() / 1024.0, "MB");
    return 0;
}
