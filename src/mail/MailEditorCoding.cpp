// TMailEditor's uu coding commands: decoding the text's encoded files, encoding a file into the text,
// and packing a file with a compression tool before encoding it.

#include <system_error>

#include "mail/MailEditor.h"
#include "mail/QvRun.h"
#include "mail/UUEncoder.h"
#include "text/FileStream.h"

namespace fs = std::filesystem;

void TMailEditor::DecodeText() {
    TUUDecoder decoder(FileName().empty() ? fs::current_path() : fs::absolute(FileName()).parent_path());
    decoder.OnStartDecode = OnStartDecode;
    decoder.OnEndDecode = OnEndDecode;
    decoder.OnRefused = OnDecodeRefused;
    decoder.OnBlockDecode = [this](TUUDecoder&, TTextPos done, bool& cancelled) {
        cancelled = !PollAbort(done);
    };
    TBusy busy(*this, TextSize());
    decoder.Decode(Text(), 0);
}

TEncodeResult TMailEditor::EncodeFile(const fs::path& fileName, const std::string& name) {
    // Nothing to encode, or a file that cannot be read, leaves the text, selection and all, as it was.
    std::error_code error;
    const auto size = static_cast<TTextPos>(fs::file_size(fileName, error));
    if (error || size < 1) return TEncodeResult::erEmpty;
    TFileStream(fileName, TFileStream::TMode::fmOpenRead);
    if (Text().WriteProtected()) throw TUUException("TextBuffer is not editable");
    bool cancelled = false;
    TTextPos pos = 0, count = 0;
    {
        TUndoGroup group(*this);
        DeleteSelection();
        pos = CaretLineStart();
        TUUEncoder encoder;
        encoder.SetLineBreak(std::string(Text().LineBreakBytes()));
        encoder.OnBlockEncode = [this](TUUEncoder&, TTextPos done, bool& stop) { stop = !PollAbort(done); };
        TBusy busy(*this, size);
        const TChangeStart start = BeforeChange(pos);
        try {
            count = encoder.Encode(fileName, name, cancelled, pos, Text());
        } catch (...) {
            AfterChange(start, pos);
            throw;
        }
        AfterChange(start, pos + count);
        GoToOffset(pos + count, false);
    }
    if (!cancelled) return TEncodeResult::erDone;
    // Taken back whole, with the selection it replaced, and nothing left to redo. Without undo levels
    // only the encoded lines can go.
    if (Text().UndoLevels() > 0) {
        UndoEdit();
        Text().ClearRedo();
    } else {
        DeleteRange(pos, count);
    }
    return TEncodeResult::erCancelled;
}

namespace {

// Removes a temporary file when it goes, however the command ends.
class TTemporaryFile {
public:
    explicit TTemporaryFile(fs::path path) : m_Path(std::move(path)) { Remove(); }
    ~TTemporaryFile() { Remove(); }
    TTemporaryFile(const TTemporaryFile&) = delete;
    TTemporaryFile& operator=(const TTemporaryFile&) = delete;
    const fs::path& Path() const { return m_Path; }

private:
    void Remove() {
        std::error_code ignored;
        fs::remove(m_Path, ignored);
    }
    fs::path m_Path;
};

} // namespace

TEncodeResult TMailEditor::CompressAndEncode(const std::string& commandLine, const std::string& extension,
                                             const fs::path& fileName) {
    const TTemporaryFile archive(MakeTempName("QVT"));
    const auto command = SubstituteToolNames(commandLine, ShortName(archive.Path()), fileName);
    if (!command) return TEncodeResult::erCompressFailed;
    bool stopped = false, ran = false;
    {
        TBusy busy(*this, 0);
        ran = RunTool(*command, [this, &stopped] {
            stopped = !PollAbort(0);
            return !stopped;
        });
    }
    if (stopped) return TEncodeResult::erCancelled;
    if (!ran) return TEncodeResult::erCompressFailed;
    fs::path name = fileName.filename();
    if (extension.empty())
        name.replace_extension();
    else
        name.replace_extension("." + extension);
    return EncodeFile(archive.Path(), name.string());
}
