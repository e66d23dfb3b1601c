// Another program changes the file between the editor's edits and saves, at random: after every save
// the file holds exactly the editor's text (when the user said to overwrite) or exactly the other
// program's, and a save reported done really happened.

#include <ctime>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

#include "TestDocument.h"
#include "TestFiles.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

enum class TChange { None, Rewrite, Append, Truncate, Rename, Delete };

// The other program's change. A file's time stamps tick coarsely, so it waits until the clock has
// passed the time of the editor's last write: a change within the same tick cannot be seen by anyone.
std::string Change(TChange change, const fs::path& file, std::mt19937& random) {
    struct stat info {};
    ::stat(file.c_str(), &info);
    for (timespec now{}; ::clock_gettime(CLOCK_REALTIME_COARSE, &now) == 0 &&
                         (now.tv_sec < info.st_mtim.tv_sec ||
                          (now.tv_sec == info.st_mtim.tv_sec && now.tv_nsec <= info.st_mtim.tv_nsec));)
        ::usleep(1000);
    const std::string before = ReadFile(file);
    std::string theirs = "other " + std::to_string(random() % 1000) + "\n";
    switch (change) {
    case TChange::None:
        return before;
    case TChange::Rewrite: { // as long as before or longer, written over the file's bytes
        while (theirs.size() < before.size())
            theirs += theirs;
        std::ofstream(file, std::ios::binary | std::ios::in | std::ios::out) << theirs;
        return ReadFile(file);
    }
    case TChange::Append:
        std::ofstream(file, std::ios::binary | std::ios::app) << theirs;
        return before + theirs;
    case TChange::Truncate:
        fs::resize_file(file, before.size() / 2);
        return before.substr(0, before.size() / 2);
    case TChange::Rename:
        WriteFile(file.string() + ".new", theirs);
        fs::rename(file.string() + ".new", file);
        return theirs;
    case TChange::Delete:
        fs::remove(file);
        return {};
    }
    return {};
}

TEST(SaveAdversary, TheFileHoldsTheEditorsTextOrTheOtherProgramsNeverAMix) {
    const unsigned seed = 20240611;
    std::mt19937 random(seed);
    TTempDir dir;
    const fs::path file = dir / "shared.txt";
    WriteFile(file, "first line\nsecond line\n");
    TTestDocument d;
    TEditStream& text = d.text;
    d.doc.OnSaveModified = [](TDocumentFile&, TModalResult& answer) { answer = TModalResult::mrNo; };
    d.doc.SetFileName(file);
    std::string mine = ReadFile(file);
    int overwritten = 0, refused = 0, cancelled = 0;
    for (int round = 0; round < 400; ++round) {
        SCOPED_TRACE("seed " + std::to_string(seed) + ", round " + std::to_string(round));
        const TTextPos at = static_cast<TTextPos>(random() % (mine.size() + 1));
        if (random() % 3 == 0 && at < static_cast<TTextPos>(mine.size())) {
            const TTextPos count =
                std::min<TTextPos>(1 + random() % 8, static_cast<TTextPos>(mine.size()) - at);
            text.Delete(at, count);
            mine.erase(static_cast<size_t>(at), static_cast<size_t>(count));
        } else {
            const std::string edit = "edit " + std::to_string(round) + "\n";
            text.InsertString(edit, at);
            mine.insert(static_cast<size_t>(at), edit);
        }
        ASSERT_EQ(text.GetText(0, text.TextSize()), mine);
        const auto change = static_cast<TChange>(random() % 6);
        const std::string theirs = Change(change, file, random);
        d.answer = random() % 2 ? TModalResult::mrYes : TModalResult::mrCancel;
        bool failed = false;
        try {
            d.doc.Save(file);
        } catch (const ESaveError&) {
            failed = true;
        }
        const std::string now = fs::exists(file) ? ReadFile(file) : "(none)";
        if (!failed && !text.Modified()) {
            ASSERT_EQ(now, mine) << "reported saved";
            overwritten += change != TChange::None;
            continue;
        }
        ASSERT_EQ(now, theirs) << "not saved, after change " << static_cast<int>(change);
        if (!failed) {
            ++cancelled; // the text here is whole still: the next save asks again
            continue;
        }
        ++refused; // the text read parts of the changed file: it is opened again
        text.SetModified(false);
        d.doc.SetFileName(file);
        mine = theirs;
    }
    EXPECT_GT(overwritten, 20);
    EXPECT_GT(refused, 20);
    EXPECT_GT(cancelled, 20);
}

} // namespace
