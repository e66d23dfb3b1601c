#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/IniSections.h"
#include "text/Exceptions.h"

// A value of the store that does not read as what it should hold.
class TIniFileException : public Exception {
public:
    using Exception::Exception;
};

// A font as the store keeps it: face name, height (negative: the characters' height in pixels), size
// in points, colour, and style (1 bold, 2 italic, 4 underline, 8 strike-out).
struct TFontText {
    std::string Name;
    int Height = 0, Size = 0, Color = 0, Style = 0;
    bool operator==(const TFontText&) const = default;
};

// The fields of a font value, taken from the front one by one; "," separates them.
class TFontFields {
public:
    explicit TFontFields(std::string_view text) : m_Rest(text) {}
    // "Initialisation file corrupt" when nothing is left.
    std::string NextField();
    // "Error in initialisation file integer" when the field is not an integer.
    int NextInteger();

private:
    std::string_view m_Rest;
};

// The program's settings store: sections of named values, every one kept as text, held in memory and
// read from and written to an INI file. The file is read once; UpdateFile writes back what this store
// changed since, over whatever another instance may have written meanwhile.
class TQVIniFile {
public:
    // A store in memory only: UpdateFile does nothing.
    TQVIniFile() = default;
    // The store of `file`; a missing file is an empty store. A file that cannot be read raises.
    explicit TQVIniFile(std::filesystem::path file);

    const std::filesystem::path& FileName() const { return m_File; }
    bool ValueExists(std::string_view section, std::string_view name) const;

    std::string ReadString(std::string_view section, std::string_view name, const std::string& def) const;
    // "0x" followed by hexadecimal digits is read as such; unreadable text gives the default.
    int ReadInteger(std::string_view section, std::string_view name, int def) const;
    bool ReadBool(std::string_view section, std::string_view name, bool def) const;
    // A number with "." as its decimal point, whatever the locale; anything else, infinities and
    // not-a-number included, gives the default.
    double ReadFloat(std::string_view section, std::string_view name, double def) const;
    // A missing, empty or malformed value gives the default; the field readers' failures stay inside.
    TFontText ReadFont(std::string_view section, std::string_view name, const TFontText& def) const;
    // "Count" values named by "Name%d" from 1; a missing one reads as empty. A count beyond what a
    // section can sensibly hold counts as 0.
    std::vector<std::string> ReadStringList(std::string_view section) const;

    // A value holding a line break cannot be kept on a line of its own: it is not written, and the
    // store keeps what it had under that name.
    void WriteString(std::string_view section, std::string_view name, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view name, int value);
    void WriteBool(std::string_view section, std::string_view name, bool value);
    // Fixed notation with two decimals and "." as the decimal point.
    void WriteFloat(std::string_view section, std::string_view name, double value);
    void WriteFont(std::string_view section, std::string_view name, const TFontText& font);
    // Writes "Count" and the strings; values of a longer earlier list stay, beyond the count.
    void WriteStringList(std::string_view section, const std::vector<std::string>& list);
    void EraseSection(std::string_view section);

    // Writes the store to its file. Under the folder's lock, the file is read again and every value this
    // store wrote or erased since it was read goes over what is there; values this store did not
    // change keep what another writer may have put there meanwhile. Failures raise EFOpenError.
    void UpdateFile();

    static constexpr int MaxListCount = 10000;

private:
    std::filesystem::path m_File;
    TIniSections m_Read;   // the file as it was when read or last written
    TIniSections m_Values; // what this store holds now
};
