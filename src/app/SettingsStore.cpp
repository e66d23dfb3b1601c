#include "app/SettingsStore.h"

#include <cmath>
#include <cstdlib>

#include <QGuiApplication>
#include <QScreen>
#include <QStringDecoder>

namespace fs = std::filesystem;

namespace {

constexpr const char* kEditor = "Editor";
constexpr const char* kPrinter = "Printer";
constexpr const char* kTabs = "Tabs";
constexpr const char* kKeys = "Keys";

// The printer metrics by index 1 to 6, with their defaults in inches.
constexpr struct {
    const char* Name;
    float Default;
} kPrinterMetrics[] = {{"Left", 0.5f},   {"Right", 0.5f},   {"Top", 0.75f},
                       {"Bottom", 1.0f}, {"Header", 0.25f}, {"Footer", 0.25f}};

// The key definitions by index, named as the editor's properties.
constexpr const char* kKeyNames[TLinesViewer::KeyCount] = {
    "AltCopyKey",   "CancelKey",    "CopyKey",       "LeftArrowKey",  "RightArrowKey",   "WordLeftKey",
    "WordRightKey", "LineStartKey", "LineEndKey",    "LineUpKey",     "LineDownKey",     "PageUpKey",
    "PageDownKey",  "TextStartKey", "TextEndKey",    "ScrollUpKey",   "ScrollDownKey",   "BackSpaceKey",
    "InsertKey",    "NewLineKey",   "DeleteLineKey", "DeleteKey",     "DeleteWordKey",   "CutKey",
    "AltCutKey",    "PasteKey",     "AltPasteKey",   "DelLineEndKey", "DelLineStartKey", "UndoKey",
    "RedoKey"};

double ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

// An enumeration stored as its number; a number outside it gives the default.
template <typename TEnum> TEnum ReadEnum(const TQVIniFile& store, const char* name, TEnum def, TEnum last) {
    const int value = store.ReadInteger(kEditor, name, static_cast<int>(def));
    return value >= 0 && value <= static_cast<int>(last) ? static_cast<TEnum>(value) : def;
}

template <typename TEnum> void WriteEnum(TQVIniFile& store, const char* name, TEnum value) {
    store.WriteInteger(kEditor, name, static_cast<int>(value));
}

// A length in inches on paper; anything negative or beyond a hundred inches gives the default.
float ReadInches(const TQVIniFile& store, const char* section, const std::string& name, float def) {
    const double value = store.ReadFloat(section, name, def);
    return value >= 0 && value <= 100 ? static_cast<float>(value) : def;
}

int ReadAtLeast(const TQVIniFile& store, const char* name, int def, int least) {
    const int value = store.ReadInteger(kEditor, name, def);
    return value >= least ? value : def;
}

} // namespace

fs::path SettingsFileName() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    fs::path folder;
    if (config && fs::path(config).is_absolute())
        folder = config;
    else
        folder = fs::path(std::getenv("HOME") ? std::getenv("HOME") : "/") / ".config";
    return folder / "Tarvane Software" / "Quorvel" / "Version1.0.ini";
}

QFont FontFromText(const TFontText& text, const QFont& fallback) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString name = utf8(QByteArray::fromStdString(text.Name));
    if (name.isEmpty() || utf8.hasError() || text.Size < 1 || text.Size > 1000) return fallback;
    QFont font(fallback);
    font.setFamily(name);
    if (text.Height < 0 && std::lround(-text.Height * 72.0 / ScreenDpi()) == text.Size)
        font.setPixelSize(-text.Height);
    else
        font.setPointSize(text.Size);
    font.setBold(text.Style & 1);
    font.setItalic(text.Style & 2);
    font.setUnderline(text.Style & 4);
    font.setStrikeOut(text.Style & 8);
    return font;
}

TFontText FontToText(const QFont& font) {
    const double dpi = ScreenDpi();
    const double pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * dpi / 72.0;
    return {font.family().toStdString(), -static_cast<int>(std::lround(pixels)),
            static_cast<int>(std::lround(pixels * 72.0 / dpi)), 0,
            (font.bold() ? 1 : 0) | (font.italic() ? 2 : 0) | (font.underline() ? 4 : 0) |
                (font.strikeOut() ? 8 : 0)};
}

void LoadEditorSettings(const TQVIniFile& store, TEditorSettings& s) {
    s.WrapMode = ReadEnum(store, "Wrap", TWrapModes::opNone, TWrapModes::opPrinter);
    s.MaxLineLength = ReadAtLeast(store, "MaxLineLength", 76, 0);
    s.SaveMode = ReadEnum(store, "SaveOption", TSaveMode::smPrompt, TSaveMode::smPrompt);
    for (size_t i = 0; i < std::size(kPrinterMetrics); ++i)
        s.PrinterMetrics[i] =
            ReadInches(store, kPrinter, kPrinterMetrics[i].Name, kPrinterMetrics[i].Default);
    s.Font = FontFromText(store.ReadFont(kEditor, "Font", FontToText(s.Font)), s.Font);
    const int tabs = store.ReadInteger(kTabs, "Count", 0);
    s.MaxUndoLevels = ReadAtLeast(store, "MaxUndo", s.MaxUndoLevels, 0);
    s.TabStops.assign(static_cast<size_t>(std::clamp(tabs, 0, TLinesBuffer::MaxTabStops)), 0.0f);
    for (size_t i = 0; i < s.TabStops.size(); ++i)
        s.TabStops[i] = ReadInches(store, kTabs, "Tab" + std::to_string(i + 1), 0);
    s.WPMode = store.ReadBool(kEditor, "WPMode", true);
    s.ShowLineBreaks = store.ReadBool(kEditor, "Breaks", true);
    s.HorzTracking = store.ReadBool(kEditor, "Horz", true);
    s.VertTracking = store.ReadBool(kEditor, "Vert", true);
    s.ShowPageBreaks =
        ReadEnum(store, "PageBreak", TPageBreakDisplayModes::pbAlways, TPageBreakDisplayModes::pbWYSIWYG);
    s.LineNumberMode =
        ReadEnum(store, "LineNumMode", TLineNumberModes::lnFileRelative, TLineNumberModes::lnPageRelative);
    s.BackupFiles = store.ReadBool(kEditor, "BackupMode", true);
    s.FileLocking = store.ReadBool(kEditor, "FileLocking", false);
    s.LeftMargin = ReadAtLeast(store, "LeftMargin", 10, 0);
    s.RightMargin = ReadAtLeast(store, "RightMargin", 10, 0);
    s.AutoScroll = store.ReadBool(kEditor, "AutoScroll", true);
    s.SelectAfterPaste = store.ReadBool(kEditor, "PasteSelect", false);
    s.DoubleClickMode = ReadEnum(store, "DoubleClickMode", TDoubleClickModes::dcWordAndSpaces,
                                 TDoubleClickModes::dcWordAndSpaces);
    s.TripleClick = store.ReadBool(kEditor, "TripleClick", true);
    s.PagingMode = ReadEnum(store, "PagingMode", TPagingModes::pmMoveToLine, TPagingModes::pmCaretConstant);
    s.Keys.resize(TLinesViewer::KeyCount, 0);
    for (size_t i = 0; i < s.Keys.size(); ++i)
        s.Keys[i] = static_cast<TKeyDefinition>(store.ReadInteger(kKeys, kKeyNames[i], s.Keys[i]) & 0xFFFF);
    s.QuickKey = static_cast<TKeyDefinition>(store.ReadInteger(kKeys, "QuickKey", s.QuickKey) & 0xFFFF);
}

void SaveEditorSettings(TQVIniFile& store, const TEditorSettings& s, const TEditorSettings& builtIn) {
    WriteEnum(store, "Wrap", s.WrapMode);
    store.WriteInteger(kEditor, "MaxLineLength",
                       static_cast<int>(std::min<TTextPos>(s.MaxLineLength, INT32_MAX)));
    WriteEnum(store, "SaveOption", s.SaveMode);
    for (size_t i = 0; i < std::size(kPrinterMetrics); ++i)
        store.WriteFloat(kPrinter, kPrinterMetrics[i].Name, s.PrinterMetrics[i]);
    store.WriteFont(kEditor, "Font", FontToText(s.Font));
    store.WriteInteger(kTabs, "Count", static_cast<int>(s.TabStops.size()));
    store.WriteInteger(kEditor, "MaxUndo", s.MaxUndoLevels);
    for (size_t i = 0; i < s.TabStops.size(); ++i)
        store.WriteFloat(kTabs, "Tab" + std::to_string(i + 1), s.TabStops[i]);
    store.WriteBool(kEditor, "WPMode", s.WPMode);
    store.WriteBool(kEditor, "Breaks", s.ShowLineBreaks);
    store.WriteBool(kEditor, "Horz", s.HorzTracking);
    store.WriteBool(kEditor, "Vert", s.VertTracking);
    WriteEnum(store, "PageBreak", s.ShowPageBreaks);
    WriteEnum(store, "LineNumMode", s.LineNumberMode);
    store.WriteBool(kEditor, "BackupMode", s.BackupFiles);
    store.WriteBool(kEditor, "FileLocking", s.FileLocking);
    store.WriteInteger(kEditor, "LeftMargin", static_cast<int>(s.LeftMargin));
    store.WriteInteger(kEditor, "RightMargin", static_cast<int>(s.RightMargin));
    store.WriteBool(kEditor, "AutoScroll", s.AutoScroll);
    store.WriteBool(kEditor, "PasteSelect", s.SelectAfterPaste);
    WriteEnum(store, "DoubleClickMode", s.DoubleClickMode);
    store.WriteBool(kEditor, "TripleClick", s.TripleClick);
    WriteEnum(store, "PagingMode", s.PagingMode);
    // Keys the user never changed are not kept, so that the editor's own definitions reach them.
    store.EraseSection(kKeys);
    for (size_t i = 0; i < s.Keys.size() && i < builtIn.Keys.size(); ++i)
        if (s.Keys[i] != builtIn.Keys[i]) store.WriteInteger(kKeys, kKeyNames[i], s.Keys[i]);
    if (s.QuickKey != builtIn.QuickKey) store.WriteInteger(kKeys, "QuickKey", s.QuickKey);
}
