#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The contents of an INI file: named sections, each holding named text values, in the order they were
// first written. Names compare without regard to ASCII case, as the settings store's always have, and
// keep the case they were written in. A value is the raw text after the first "=" of its line.
class TIniSections {
public:
    // Reads INI text: "[Section]" lines, "Name=value" lines, comment lines starting with ";" or "#".
    // Anything else, and values before the first section, are passed over; of two values with one
    // name the later counts.
    static TIniSections Parse(std::string_view text);
    std::string Text() const;

    const std::string* Find(std::string_view section, std::string_view name) const;
    void Set(std::string_view section, std::string_view name, std::string value);
    void Remove(std::string_view section, std::string_view name);
    void EraseSection(std::string_view section);
    bool HasSection(std::string_view section) const;
    // The number of values in a section (0 when it is missing).
    int ValueCount(std::string_view section) const;

    // What another writer left (`theirs`) with every value this side changed since `base` put over
    // it: a value this side wrote or removed wins, every other value stays as the other writer left it.
    static TIniSections Merged(const TIniSections& base, const TIniSections& ours,
                               const TIniSections& theirs);

    bool operator==(const TIniSections&) const = default;

private:
    struct TSection {
        std::string Name;
        std::vector<std::pair<std::string, std::string>> Values;
        bool operator==(const TSection&) const = default;
    };
    TSection* FindSection(std::string_view section);
    const TSection* FindSection(std::string_view section) const;

    std::vector<TSection> m_Sections;
};
