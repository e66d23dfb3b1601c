#include "mail/CompressUtility.h"

#include <algorithm>

#include "text/Exceptions.h"

namespace {

char Folded(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

// Orders names without regard to case.
int Compare(std::string_view a, std::string_view b) {
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i)
        if (Folded(a[i]) != Folded(b[i])) return Folded(a[i]) < Folded(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

} // namespace

const TCompressUtilityList::TEntry& TCompressUtilityList::At(int index) const {
    if (index < 0 || index >= Count())
        throw ERangeError("List index out of bounds (" + std::to_string(index) + ")");
    return m_Entries[static_cast<size_t>(index)];
}

int TCompressUtilityList::IndexOf(std::string_view name) const {
    for (int i = 0; i < Count(); ++i)
        if (Compare(m_Entries[static_cast<size_t>(i)].Name, name) == 0) return i;
    return -1;
}

int TCompressUtilityList::AddUtility(const std::string& name, const std::string& extension,
                                     const std::string& commandLine) {
    auto tool =
        std::make_shared<const TCompressUtility>(TCompressUtility{extension.substr(0, 3), commandLine});
    const auto place = std::lower_bound(
        m_Entries.begin(), m_Entries.end(), name,
        [](const TEntry& entry, const std::string& key) { return Compare(entry.Name, key) < 0; });
    if (place != m_Entries.end() && Compare(place->Name, name) == 0)
        place->Tool = std::move(tool); // a new tool: a list sharing the old one keeps it as it was
    else
        m_Entries.insert(place, TEntry{name, std::move(tool)});
    return IndexOf(name);
}

void TCompressUtilityList::Delete(int index) {
    At(index);
    m_Entries.erase(m_Entries.begin() + index);
}

void AddBuiltInUtilities(TCompressUtilityList& list) {
    list.AddUtility("pkzip", "zip", "pkzip &Z &F");
    list.AddUtility("lha", "lzh", "lha a /m &Z &F");
}

bool ValidToolExtension(std::string_view extension) {
    constexpr std::string_view refused = "\"*+,./:;<=>?[\\]|";
    return extension.size() <= 3 && std::all_of(extension.begin(), extension.end(), [&](char c) {
               const auto byte = static_cast<unsigned char>(c);
               return byte > 32 && byte < 127 && refused.find(c) == std::string_view::npos;
           });
}
