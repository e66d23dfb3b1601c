#include "app/IniSections.h"

#include <algorithm>

namespace {

bool SameName(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

} // namespace

TIniSections TIniSections::Parse(std::string_view text) {
    TIniSections result;
    std::string section;
    bool inSection = false;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.ends_with('\r')) line.remove_suffix(1);
        const std::string_view trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') continue;
        if (trimmed.front() == '[') {
            const size_t close = trimmed.rfind(']');
            section = close == std::string_view::npos ? "" : Trimmed(trimmed.substr(1, close - 1));
            inSection = !section.empty();
            continue;
        }
        const size_t equals = line.find('=');
        if (!inSection || equals == std::string_view::npos) continue;
        const std::string_view name = Trimmed(line.substr(0, equals));
        if (!name.empty()) result.Set(section, name, std::string(line.substr(equals + 1)));
    }
    return result;
}

std::string TIniSections::Text() const {
    std::string text;
    for (const TSection& section : m_Sections) {
        if (section.Values.empty()) continue;
        if (!text.empty()) text += '\n';
        text += '[' + section.Name + "]\n";
        for (const auto& [name, value] : section.Values)
            text += name + '=' + value + '\n';
    }
    return text;
}

TIniSections::TSection* TIniSections::FindSection(std::string_view section) {
    for (TSection& candidate : m_Sections)
        if (SameName(candidate.Name, section)) return &candidate;
    return nullptr;
}

const TIniSections::TSection* TIniSections::FindSection(std::string_view section) const {
    return const_cast<TIniSections*>(this)->FindSection(section);
}

const std::string* TIniSections::Find(std::string_view section, std::string_view name) const {
    if (const TSection* found = FindSection(section))
        for (const auto& [candidate, value] : found->Values)
            if (SameName(candidate, name)) return &value;
    return nullptr;
}

void TIniSections::Set(std::string_view section, std::string_view name, std::string value) {
    TSection* found = FindSection(section);
    if (!found) found = &m_Sections.emplace_back(TSection{std::string(section), {}});
    for (auto& [candidate, old] : found->Values)
        if (SameName(candidate, name)) {
            old = std::move(value);
            return;
        }
    found->Values.emplace_back(std::string(name), std::move(value));
}

void TIniSections::Remove(std::string_view section, std::string_view name) {
    if (TSection* found = FindSection(section))
        std::erase_if(found->Values, [&](const auto& value) { return SameName(value.first, name); });
}

void TIniSections::EraseSection(std::string_view section) {
    std::erase_if(m_Sections, [&](const TSection& candidate) { return SameName(candidate.Name, section); });
}

bool TIniSections::HasSection(std::string_view section) const {
    return FindSection(section) != nullptr;
}

int TIniSections::ValueCount(std::string_view section) const {
    const TSection* found = FindSection(section);
    return found ? static_cast<int>(found->Values.size()) : 0;
}

TIniSections TIniSections::Merged(const TIniSections& base, const TIniSections& ours,
                                  const TIniSections& theirs) {
    TIniSections result = theirs;
    auto carry = [&](const std::string& section, const std::string& name) {
        const std::string* mine = ours.Find(section, name);
        const std::string* before = base.Find(section, name);
        if (mine && (!before || *mine != *before))
            result.Set(section, name, *mine);
        else if (!mine && before)
            result.Remove(section, name);
    };
    for (const TIniSections* side : {&ours, &base})
        for (const TSection& section : side->m_Sections)
            for (const auto& value : section.Values)
                carry(section.Name, value.first);
    return result;
}
