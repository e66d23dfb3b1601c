#include "app/QVIniFile.h"

#include <charconv>
#include <cmath>

#include "app/AtomicFile.h"
#include "app/FileLock.h"
#include "app/IntegerText.h"

namespace fs = std::filesystem;

std::string TFontFields::NextField() {
    if (m_Rest.empty()) throw TIniFileException("Initialisation file corrupt");
    const size_t comma = m_Rest.find(',');
    const std::string_view field = m_Rest.substr(0, comma);
    m_Rest.remove_prefix(comma == std::string_view::npos ? m_Rest.size() : comma + 1);
    return std::string(field);
}

int TFontFields::NextInteger() {
    const auto value = ParseInteger(NextField());
    if (!value) throw TIniFileException("Error in initialisation file integer");
    return *value;
}

TQVIniFile::TQVIniFile(fs::path file) : m_File(std::move(file)) {
    if (const auto text = ReadWholeFile(m_File)) m_Read = TIniSections::Parse(*text);
    m_Values = m_Read;
}

bool TQVIniFile::ValueExists(std::string_view section, std::string_view name) const {
    return m_Values.Find(section, name) != nullptr;
}

std::string TQVIniFile::ReadString(std::string_view section, std::string_view name,
                                   const std::string& def) const {
    const std::string* value = m_Values.Find(section, name);
    return value ? *value : def;
}

int TQVIniFile::ReadInteger(std::string_view section, std::string_view name, int def) const {
    const std::string* value = m_Values.Find(section, name);
    if (!value) return def;
    return ParseInteger(*value).value_or(def);
}

bool TQVIniFile::ReadBool(std::string_view section, std::string_view name, bool def) const {
    return ReadInteger(section, name, def ? 1 : 0) != 0;
}

double TQVIniFile::ReadFloat(std::string_view section, std::string_view name, double def) const {
    const std::string* value = m_Values.Find(section, name);
    if (!value) return def;
    std::string_view text = *value;
    while (text.starts_with(' '))
        text.remove_prefix(1);
    double number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(number)) return def;
    return number;
}

TFontText TQVIniFile::ReadFont(std::string_view section, std::string_view name, const TFontText& def) const {
    const std::string text = ReadString(section, name, {});
    if (text.empty()) return def;
    TFontFields fields(text);
    try {
        TFontText font;
        font.Name = fields.NextField();
        font.Height = fields.NextInteger();
        font.Size = fields.NextInteger();
        font.Color = fields.NextInteger();
        font.Style = fields.NextInteger();
        return font;
    } catch (const TIniFileException&) {
        return def;
    }
}

std::vector<std::string> TQVIniFile::ReadStringList(std::string_view section) const {
    int count = ReadInteger(section, "Count", 0);
    if (count < 0 || count > MaxListCount) count = 0;
    std::vector<std::string> list;
    for (int i = 1; i <= count; ++i)
        list.push_back(ReadString(section, "Name" + std::to_string(i), {}));
    return list;
}

void TQVIniFile::WriteString(std::string_view section, std::string_view name, std::string_view value) {
    if (value.find_first_of("\r\n") != std::string_view::npos) return;
    m_Values.Set(section, name, std::string(value));
}

void TQVIniFile::WriteInteger(std::string_view section, std::string_view name, int value) {
    WriteString(section, name, std::to_string(value));
}

void TQVIniFile::WriteBool(std::string_view section, std::string_view name, bool value) {
    WriteInteger(section, name, value ? 1 : 0);
}

void TQVIniFile::WriteFloat(std::string_view section, std::string_view name, double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    WriteString(section, name, std::string_view(text, static_cast<size_t>(result.ptr - text)));
}

void TQVIniFile::WriteFont(std::string_view section, std::string_view name, const TFontText& font) {
    WriteString(section, name,
                font.Name + ',' + std::to_string(font.Height) + ',' + std::to_string(font.Size) + ',' +
                    std::to_string(font.Color) + ',' + std::to_string(font.Style));
}

void TQVIniFile::WriteStringList(std::string_view section, const std::vector<std::string>& list) {
    WriteInteger(section, "Count", static_cast<int>(list.size()));
    for (size_t i = 0; i < list.size(); ++i)
        WriteString(section, "Name" + std::to_string(i + 1), list[i]);
}

void TQVIniFile::EraseSection(std::string_view section) {
    m_Values.EraseSection(section);
}

void TQVIniFile::UpdateFile() {
    if (m_File.empty()) return;
    std::error_code ignored;
    fs::create_directories(m_File.parent_path(), ignored);
    // Two instances that save at once take turns: each merges over what the other wrote.
    TFileLock lock(m_File.parent_path(), 5000);
    const auto onDisk = ReadWholeFile(m_File);
    const TIniSections theirs = onDisk ? TIniSections::Parse(*onDisk) : TIniSections();
    const TIniSections merged = TIniSections::Merged(m_Read, m_Values, theirs);
    if (!onDisk || merged != theirs) WriteFileAtomically(m_File, merged.Text());
    m_Read = m_Values = merged;
}
