#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

// One external compression tool: the extension of the archives it makes (at most three characters,
// without the dot) and its command line, in which "&Z" stands for the archive and "&F" for the file.
struct TCompressUtility {
    std::string Extension;
    std::string CommandLine;
};

// The compression tools by name, sorted and without two names that differ only in case. A copy of the
// list shares its tools with the original; changing a tool in one list gives that list a tool of its
// own, so a working copy (the Tools dialog's) never changes the list it was copied from.
class TCompressUtilityList {
public:
    // Adds `name` in its sorted place, or keeps the place (and spelling) of a name that differs only in
    // case, giving it a tool with these fields; the extension is cut to three characters. Returns the
    // entry's index.
    int AddUtility(const std::string& name, const std::string& extension, const std::string& commandLine);
    int Count() const { return static_cast<int>(m_Entries.size()); }
    // The entry of `name` regardless of case, -1 when there is none.
    int IndexOf(std::string_view name) const;
    // Entries by index; an index outside the list raises ERangeError.
    const std::string& Name(int index) const { return At(index).Name; }
    const std::string& Extension(int index) const { return At(index).Tool->Extension; }
    const std::string& CommandLine(int index) const { return At(index).Tool->CommandLine; }
    void Delete(int index);
    void Clear() { m_Entries.clear(); }

private:
    struct TEntry {
        std::string Name;
        std::shared_ptr<const TCompressUtility> Tool;
    };
    const TEntry& At(int index) const;

    std::vector<TEntry> m_Entries;
};

// The tools every list starts with, before the user's own are read: "pkzip" and "lha".
void AddBuiltInUtilities(TCompressUtilityList& list);

// Whether an archive extension may be used: at most three characters, each printable and allowed in a
// file name (not a blank, nor any of "*+,./:;<=>?[\]|). An empty extension is allowed.
bool ValidToolExtension(std::string_view extension);
