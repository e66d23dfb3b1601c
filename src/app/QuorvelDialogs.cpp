// The main window's bookmarks, Goto, Preferences, Tab Stops, File Properties and help commands.

#include <QDesktopServices>
#include <QUrl>

#include "app/AddBookmarkDialog.h"
#include "app/FileList.h"
#include "app/FilePropertiesDialog.h"
#include "app/GotoDialog.h"
#include "app/HelpTopics.h"
#include "app/PreferencesDialog.h"
#include "app/Quorvel.h"
#include "app/TabStopsDialog.h"
#include "text/Exceptions.h"

namespace {

void ShowBeside(QWidget& dialog) {
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

} // namespace

void TQuorvel::AddBookmark() {
    if (!m_AddBookmarkDialog) {
        m_AddBookmarkDialog = new TAddBookmarkDialog(this, m_Bookmarks, [this] { return CurrentEditor(); });
        m_AddBookmarkDialog->OnChanged = [this] { UpdateCommandStates(); };
    }
    ShowBeside(*m_AddBookmarkDialog);
}

void TQuorvel::Goto() {
    if (!m_GotoDialog)
        m_GotoDialog = new TGotoDialog(
            this, m_Bookmarks, [this] { return CurrentEditor(); },
            [this](const TEditorBookmark& bookmark) { GoToBookmark(bookmark); });
    ShowBeside(*m_GotoDialog);
}

void TQuorvel::GoToLastBookmark() {
    if (m_Bookmarks.HasLastBookmark()) GoToBookmark(m_Bookmarks.Bookmark(m_Bookmarks.LastBookmark()));
}

void TQuorvel::GoToBookmark(const TEditorBookmark& bookmark) {
    const int index = IndexOf(bookmark.Editor());
    if (index < 0) return;
    SelectPage(index);
    bookmark.GoTo();
    Page(index)->setFocus();
}

void TQuorvel::Preferences() {
    TMailEditor& editor = *CurrentEditor();
    TPreferences preferences{
        CommonTextFileTypes, m_FileList->MaxFilesOnList(), UseSaveDir, StartUp, NewLook(),
        editor.MailQuote(),  EditorSettings(editor)};
    if (!m_PreferencesDialog) m_PreferencesDialog = new TPreferencesDialog(this);
    if (!m_PreferencesDialog->Edit(preferences)) return;
    StartUp = preferences.StartUp;
    UseSaveDir = preferences.UseSaveDir;
    CommonTextFileTypes = preferences.CommonTextFileTypes;
    SetNewLook(preferences.NewLook);
    m_FileList->SetMaxFilesOnList(preferences.MaxFilesOnList);
    for (TMailEditor* page : m_Pages) {
        TEditorSettings settings = EditorSettings(*page);
        CopySharedOptions(preferences.Editor, settings);
        page->SetMailQuote(preferences.MailQuote);
        ApplyEditorSettings(*page, settings);
    }
}

void TQuorvel::TabStops() {
    TMailEditor& editor = *CurrentEditor();
    std::vector<float> stops;
    for (int i = 0; i < editor.TabStopCount(); ++i)
        stops.push_back(editor.GetTabStop(i));
    if (!m_TabStopsDialog) m_TabStopsDialog = new TTabStopsDialog(this);
    if (!m_TabStopsDialog->Edit(stops)) return;
    editor.SetTabStopCount(static_cast<int>(stops.size()));
    for (size_t i = 0; i < stops.size(); ++i)
        editor.SetTabStop(static_cast<int>(i), stops[i]);
    editor.SetWrapMode(editor.WrapMode()); // lays the text out again with the new stops
}

void TQuorvel::FileProperties() {
    if (!m_FilePropertiesDialog) m_FilePropertiesDialog = new TFilePropertiesDialog(this);
    m_FilePropertiesDialog->Edit(*CurrentEditor());
}

void TQuorvel::HelpTopics() {
    ShowHelp(this, THelpTopic::htContents);
}

void TQuorvel::Introduction() {
    ShowHelp(this, THelpTopic::htIntroduction);
}

void TQuorvel::HomePage() {
    if (!QDesktopServices::openUrl(QUrl(QUORVEL_HOME_PAGE))) throw Exception("No default Web Browser");
}
