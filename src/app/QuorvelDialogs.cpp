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
#include "editor/QtText.h"
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
        CommonTextFileTypes,         m_FileList->MaxFilesOnList(), UseSaveDir, StartUp, NewLook(),
        Unicode(editor.MailQuote()), EditorSettings(editor)};
    if (!m_PreferencesDialog) m_PreferencesDialog = new TPreferencesDialog(this);
    if (!m_PreferencesDialog->Edit(preferences)) return;
    // The quote in each page's character set, before anything changes: one that a page cannot hold
    // is refused as a whole.
    std::vector<std::string> quotes;
    for (TMailEditor* page : m_Pages)
        quotes.push_back(UnicodeToText(preferences.MailQuote, page->Text().CharSet()));
    StartUp = preferences.StartUp;
    UseSaveDir = preferences.UseSaveDir;
    CommonTextFileTypes = preferences.CommonTextFileTypes;
    SetNewLook(preferences.NewLook);
    m_FileList->SetMaxFilesOnList(preferences.MaxFilesOnList);
    for (size_t i = 0; i < m_Pages.size(); ++i) {
        TEditorSettings settings = EditorSettings(*m_Pages[i]);
        CopySharedOptions(preferences.Editor, settings);
        m_Pages[i]->SetMailQuote(quotes[i]);
        ApplyEditorSettings(*m_Pages[i], settings);
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
