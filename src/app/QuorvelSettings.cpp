// The main window's settings: read from the store once before the window is shown, written once at
// the end.

#include <QGuiApplication>
#include <QScreen>

#include "app/FileList.h"
#include "app/Quorvel.h"
#include "app/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kEditor = "Editor";
constexpr const char* kCompress = "Compress";

fs::path WithoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

// Whether a window placed at `place` would show on one of the screens there are now.
bool OnAScreen(const QRect& place) {
    for (const QScreen* screen : QGuiApplication::screens())
        if (screen->availableGeometry().intersects(place)) return true;
    return false;
}

} // namespace

void TQuorvel::LoadTools(const TQVIniFile& store) {
    DefaultUtility = store.ReadInteger(kCompress, "Default", -1);
    const int count = store.ReadInteger(kCompress, "Count", 0);
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(i);
        const std::string name = store.ReadString(kCompress, "Name" + n, {});
        if (!name.empty())
            CompressUtilities.AddUtility(name, store.ReadString(kCompress, "Ext" + n, {}).substr(0, 255),
                                         store.ReadString(kCompress, "CommandLine" + n, {}));
    }
}

void TQuorvel::SaveTools(TQVIniFile& store) const {
    store.EraseSection(kCompress);
    store.WriteInteger(kCompress, "Default", DefaultUtility);
    store.WriteInteger(kCompress, "Count", CompressUtilities.Count());
    for (int i = 0; i < CompressUtilities.Count(); ++i) {
        const std::string n = std::to_string(i + 1);
        store.WriteString(kCompress, "Name" + n, CompressUtilities.Name(i));
        store.WriteString(kCompress, "Ext" + n, CompressUtilities.Extension(i));
        store.WriteString(kCompress, "CommandLine" + n, CompressUtilities.CommandLine(i));
    }
}

void TQuorvel::LoadSettings(const TQVIniFile& store) {
    m_FileList->LoadFromStore(store);
    // A window that was minimised comes back normal: started minimised it could not be found.
    const int state = store.ReadInteger(kEditor, "State", isMaximized() ? 2 : 0);
    if (state == 2) {
        setWindowState(Qt::WindowMaximized);
    } else {
        const QRect place(store.ReadInteger(kEditor, "Left", x()), store.ReadInteger(kEditor, "Top", y()),
                          store.ReadInteger(kEditor, "Width", width()),
                          store.ReadInteger(kEditor, "Height", height()));
        if (place.width() >= 100 && place.height() >= 100 && place.width() <= 32767 &&
            place.height() <= 32767) {
            resize(place.size());
            if (OnAScreen(place)) move(place.topLeft());
        }
    }
    LoadTools(store);
    OpenDir = WithoutTrailingSlashes(store.ReadString(kEditor, "Dir", {}));
    SaveDir = WithoutTrailingSlashes(store.ReadString(kEditor, "SaveDir", {}));
    MergeDir = store.ReadString(kEditor, "MergeDir", {});
    StartUp = store.ReadInteger(kEditor, "StartUp", 1);
    UseSaveDir = store.ReadBool(kEditor, "UseSaveDir", false);
    BlockReplaceStr = store.ReadString(kEditor, "BlockReplaceStr", {});
    CommonTextFileTypes = store.ReadString(kEditor, "CommonTextFileTypes", CommonTextFileTypes);
    const std::vector<std::string> quickList = store.ReadStringList("QuickList");
    QuickList.assign(quickList.begin(), quickList.end());
    SetNewLook(store.ReadBool(kEditor, "NewLook", true));
    TEditorSettings settings = EditorSettings(*Page(0));
    LoadEditorSettings(store, settings);
    ApplyEditorSettings(*Page(0), settings);
    Page(0)->SetMailQuote(store.ReadString(kEditor, "Quote", Page(0)->MailQuote()));
    PrintTitle = store.ReadString(kEditor, "PrintTitle", PrintTitle);
    PrintPageNumbers = store.ReadBool(kEditor, "PrintPageNumbers", PrintPageNumbers);
}

void TQuorvel::SaveSettings(TQVIniFile& store) {
    if (NoSaveSettings) return;
    m_FileList->SaveToStore(store);
    const int state = isMinimized() ? 1 : isMaximized() ? 2 : 0;
    store.WriteInteger(kEditor, "State", state);
    if (state == 0) {
        store.WriteInteger(kEditor, "Top", y());
        store.WriteInteger(kEditor, "Left", x());
        store.WriteInteger(kEditor, "Height", height());
        store.WriteInteger(kEditor, "Width", width());
    }
    SaveTools(store);
    store.EraseSection("Tabs");
    store.WriteString(kEditor, "Dir", OpenDir.native());
    store.WriteString(kEditor, "MergeDir", MergeDir.native());
    store.WriteString(kEditor, "SaveDir", SaveDir.native());
    store.WriteInteger(kEditor, "StartUp", StartUp);
    store.WriteBool(kEditor, "UseSaveDir", UseSaveDir);
    store.WriteString(kEditor, "BlockReplaceStr", BlockReplaceStr);
    store.WriteStringList("QuickList", std::vector<std::string>(QuickList.begin(), QuickList.end()));
    store.WriteBool(kEditor, "NewLook", NewLook());
    store.WriteString(kEditor, "CommonTextFileTypes", CommonTextFileTypes);
    SaveEditorSettings(store, EditorSettings(*CurrentEditor()), m_BuiltInSettings);
    store.WriteString(kEditor, "Quote", CurrentEditor()->MailQuote());
    store.WriteString(kEditor, "PrintTitle", PrintTitle);
    store.WriteBool(kEditor, "PrintPageNumbers", PrintPageNumbers);
}
