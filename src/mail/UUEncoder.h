#pragma once

#include <filesystem>
#include <functional>
#include <string>

#include "mail/UUBase.h"
#include "text/Exceptions.h"

class TTextBuffer;

// The encoder's failures.
class TUUException : public Exception {
public:
    using Exception::Exception;
};

// Writes a file into a text as one uuencoded section: a section header, "begin 644", data lines of 45
// bytes, "`", "end", and the section and file "sum -r/size" lines, each ended by LineBreak.
class TUUEncoder : public TUUBase {
public:
    // The line break written after every line, "\n" (the default) or "\r\n": the one the document uses.
    const std::string& LineBreak() const { return m_LineBreak; }
    void SetLineBreak(std::string lineBreak) { m_LineBreak = std::move(lineBreak); }

    // After each block of 4500 bytes read, with the bytes read so far; setting `cancelled` stops.
    std::function<void(TUUEncoder& sender, TTextPos done, bool& cancelled)> OnBlockEncode;

    // Encodes `fileName` under the bare name of `name` into `text` at `pos`; returns the bytes inserted.
    TTextPos Encode(const std::filesystem::path& fileName, const std::string& name, bool& cancelled,
                    TTextPos pos, TTextBuffer& text);

    // One data line for up to 45 bytes: the count character and four characters per three bytes.
    static std::string EncodeLine(const unsigned char* bytes, int count);

private:
    // Adds a line with its line break to what is to be inserted, counting it in the section checksum.
    void WriteLine(const std::string& line);
    // Adds the data lines of a block read from the file, counting them and the block in the checksums.
    void WriteBlock(const unsigned char* block, TTextPos count);
    void Flush(TTextBuffer& text);

    int m_SectionNo = 1;
    TTextPos m_InsertPos = 0;
    std::string m_Pending;
    std::string m_LineBreak = "\n";
};
