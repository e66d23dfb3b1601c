// Opening, editing, undoing and saving a large file, beside `cp --reflink=never` and `sync` of the same
// file in the same run. Usage: bench_edit [size in MB, default 1024]

#include <memory>
#include <string>
#include <fcntl.h>
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

} // namespace

int main(int argc, char* argv[]) {
    const TTextPos megabytes = argc > 1 ? std::stoll(argv[1]) : 1024;
    const fs::path source = MailTextFile(megabytes << 20);
    const fs::path work = source.parent_path() / "edit-work";
    fs::create_directories(work);
    const fs::path file = work / "document.txt";
    const fs::path sparse = work / "sparse.txt";
    std::printf("file %s\n", source.c_str());
    const double mb = static_cast<double>(megabytes);

    TimeCommand("cp --reflink=never " + ShellQuote(source) + " " + ShellQuote(file) + " && sync", 1);
    {
        const int handle = ::creat(sparse.c_str(), 0644);
        if (handle < 0 || ::ftruncate(handle, TTextPos{5} << 30) != 0) return 1;
        ::close(handle);
    }

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

    // Both the save and the copy start with nothing waiting to be written back.
    text.InsertString("!", middle);
    ::sync();
    start = Seconds();
    doc.Save(doc.FileName());
    const double save = Seconds() - start;
    Figure("insert_and_save_in_place", save * 1e3, "ms");
    const double cp =
        TimeCommand("cp --reflink=never " + ShellQuote(file) + " " + ShellQuote(work / "copy.txt") + " && sync", 1);
    Figure("cp + sync", cp * 1e3, "ms");
    Figure("  save vs cp + sync", save / cp, "x (target <= 1.5)");
    Figure("  save throughput", mb / save, "MB/s");
    Figure("resident_growth", (ResidentKiB() - residentStart) / 1024.0, "MB (target < 16)");

    doc.New();
    fs::remove_all(work);
    return 0;
}
