// Opening, editing, undoing and saving a large file; the save after one edit beside `cp --reflink=never`
// and `sync` of the same file, and the save of a sparse file beside `cp`, each run alternately three
// times. Usage: bench_edit [size in MB, default 1024]

#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "BenchTools.h"
#include "MailText.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

namespace fs = std::filesystem;

namespace {

double TimeOpen(TDocumentFile& doc, const fs::path& path) {
    const double start = Seconds();
    doc.SetFileName(path);
    return Seconds() - start;
}

// Inserts one byte in the middle of the text and saves it in place; returns the save's seconds.
double EditAndSave(TEditStream& text, TDocumentFile& doc) {
    text.InsertString("!", text.TextSize() / 2);
    ::sync(); // the save and the copy both start with nothing waiting to be written back
    const double start = Seconds();
    doc.Save(doc.FileName());
    return Seconds() - start;
}

// A shell command after a sync, as EditAndSave starts.
double Synced(const std::string& command) {
    ::sync();
    return RunCommand(command);
}

// The space a file takes on the disk, in MB.
double Allocated(const fs::path& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 ? static_cast<double>(info.st_blocks) * 512 / (1 << 20) : -1;
}

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const fs::path source = MailTextFile(megabytes << 20);
    const fs::path work = BenchDirectory() / "edit-work";
    fs::create_directories(work);
    const fs::path file = work / "document.txt";
    const fs::path sparse = work / "sparse.txt";
    std::printf("file %s\n", source.c_str());
    const double mb = static_cast<double>(megabytes);
    RunCommand("cp --reflink=never " + ShellQuote(source) + " " + ShellQuote(file));
    RunCommand("cp --sparse=always " + ShellQuote(SparseFile()) + " " + ShellQuote(sparse));

    const long residentStart = ResidentKiB();
    TEditStream text;
    TDocumentFile doc(text);
    doc.SetSaveMode(TSaveMode::smParagraph);
    Figure("open_sparse_5GB", TimeOpen(doc, sparse) * 1e3, "ms (target < 1)");
    Figure("open_1GB", TimeOpen(doc, file) * 1e3, "ms (target < 1)");

    const TTextPos middle = text.TextSize() / 2;
    double start = Seconds();
    for (int i = 0; i < 10000; ++i) text.InsertString(std::string(1, static_cast<char>('a' + i % 26)), middle + i);
    Figure("keystroke", (Seconds() - start) / 10000 * 1e6, "us (target < 5)");
    text.Undo();

    start = Seconds();
    text.Delete(0, text.TextSize() / 2);
    text.Commit();
    Figure("delete_half", (Seconds() - start) * 1e3, "ms (target < 1)");
    start = Seconds();
    text.Undo();
    Figure("undo_delete_half", (Seconds() - start) * 1e3, "ms (target < 1)");

    const std::string cp =
        "cp --reflink=never " + ShellQuote(file) + " " + ShellQuote(work / "copy.txt") + " && sync";
    const TComparison saved = Alternate([&cp] { return Synced(cp); }, [&] { return EditAndSave(text, doc); });
    Compare("insert_and_save_in_place", "cp + sync", saved, "x (target <= 1)");
    Figure("  save throughput", mb / saved.Ours, "MB/s");
    Figure("resident_growth", (ResidentKiB() - residentStart) / 1024.0, "MB (target < 16)");

    const double before = Allocated(sparse);
    TimeOpen(doc, sparse);
    const std::string cpSparse =
        "cp " + ShellQuote(sparse) + " " + ShellQuote(work / "copy.txt") + " && sync";
    const TComparison sparseSaved =
        Alternate([&cpSparse] { return Synced(cpSparse); }, [&] { return EditAndSave(text, doc); });
    Compare("save_sparse_5GiB", "cp + sync", sparseSaved, "x (target: save < 2000 ms)");
    Figure("  on disk before", before, "MB");
    Figure("  on disk after", Allocated(sparse), "MB (the holes kept: about the same)");

    doc.New();
    fs::remove_all(work);
    return 0;
}
