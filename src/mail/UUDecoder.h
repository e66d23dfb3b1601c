#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "mail/UUBase.h"

class TFileStream;
class TLinesBuffer;

enum class TUdStates : unsigned char {
    NoFile = 0,        // looking for a "begin" line
    InData = 1,        // a "begin" line was accepted, or the last line was data
    DataBroken = 2,    // inside a file, the last line was neither data nor a known line
    SectionSummed = 3, // a section checksum line came before "end": a file in several sections
    Ended = 4,         // the "end" line was met
    EndSummed = 5,     // the section checksum line after "end" was met
    Cancelled = 6,
    FileSummed = 7, // the file checksum line was met: the file is complete
};

// Errors found by the checksum lines.
enum TUUErrors : unsigned char { ueNone = 0, ueFileSum = 4, ueSectionSum = 5 };

// Finds every uuencoded file in a text, checks it against its "sum -r/size" lines and writes it to
// disk. Files are written under their bare names in the output directory unless OnStartDecode says
// otherwise: a name taken from the text never carries a directory part. A regular file of the name is
// replaced; a symbolic link, pipe or device of the name is refused (EFOpenError), never written through.
class TUUDecoder : public TUUBase {
public:
    // Results of DecodeLine.
    enum { dlDone = 0, dlTooMany = 2, dlTooShort = 3, dlInvalid = 6 };

    explicit TUUDecoder(std::filesystem::path outputDirectory);
    ~TUUDecoder();

    // Told of each file found, with its bare name; may change where it goes or set `cancel` to skip it.
    std::function<void(TUUDecoder& sender, std::string& fileName, bool& cancel)> OnStartDecode;
    std::function<void(TUUDecoder& sender, TUdStates state, TUUErrors error, const std::string& fileName)>
        OnEndDecode;
    // After each line with the bytes of the text consumed so far; setting `cancelled` stops the run.
    std::function<void(TUUDecoder& sender, TTextPos done, bool& cancelled)> OnBlockDecode;
    // Told of an encoded file that is passed over, with the reason; the run goes on.
    std::function<void(TUUDecoder& sender, const std::string& message)> OnRefused;

    TUdStates State() const { return m_State; }
    TUUErrors Error() const { return m_Error; }
    const std::string& FileName() const { return m_FileName; }

    // Decodes every file found in the display lines of `text` from `startPos` on.
    void Decode(TLinesBuffer& text, TTextPos startPos);
    // Decodes one encoded line into `bytes` (cleared first); the result is one of dl....
    static int DecodeLine(std::string_view line, std::vector<unsigned char>& bytes, int max = 45);
    // The same into `out`, which has room for max + 2 bytes; `count` receives how many.
    static int DecodeLineAt(std::string_view line, unsigned char* out, int& count, int max = 45);

private:
    TUdStates HandleLine(std::string_view line);
    TUdStates InData(std::string_view line);
    TUdStates LookForBegin(std::string_view line);
    // Compares a "sum -r/size" line with `sum`; a difference sets `error`.
    void CheckSum(std::string_view line, const TSumCheck& sum, TUUErrors error);
    // Closes the file in progress and reports it.
    void EndFile();
    // Closes the file in progress and removes it: it was not finished.
    void DiscardOutput();
    void FlushOutput();

    std::filesystem::path m_OutputDirectory;
    std::string m_FileName;
    // Open while a file is in progress and not yet reported, from the "begin" line on; m_FileName is its
    // path.
    std::unique_ptr<TFileStream> m_Output;
    std::vector<unsigned char> m_Pending; // decoded bytes not yet written: the first m_PendingCount
    size_t m_PendingCount = 0;
    std::string m_LongLine; // a line too long for layout's read-ahead, copied
    TUdStates m_State = TUdStates::NoFile;
    TUUErrors m_Error = ueNone;
};
