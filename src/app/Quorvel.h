#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/FileDialogs.h"
#include "app/ToolIcons.h"
#include "editor/IdleDriver.h"
#include "mail/CompressUtility.h"
#include "mail/MailEditor.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolBar;
class TFindDialog;
class TProgressMeter;
class TReformatDialog;
class TToolsDialog;
class TUUDecodeDialog;

// The program's main window: editor pages chosen by a tab row under the text, the menus, the tool bar
// and the status bar. Every command acts on the editor of the selected page.
class TQuorvel : public QMainWindow {
    Q_OBJECT
public:
    explicit TQuorvel(QWidget* parent = nullptr);
    ~TQuorvel() override;

    // Pages, in tab order.
    int PageCount() const { return static_cast<int>(m_Pages.size()); }
    int PageIndex() const;
    TMailEditor* Page(int index) const { return m_Pages.at(static_cast<size_t>(index)); }
    void SelectPage(int index);
    TMailEditor* CurrentEditor() const;
    // Shows a file in a page: the page that has it already, else an untitled page without changes
    // other than the selected one, else a new page. An empty name gives an empty untitled document.
    TMailEditor* OpenFileInPage(const std::filesystem::path& fileName, bool select);
    // Offers the page's changes for saving and closes it; the last page stays, empty and untitled.
    void CloseEditorPage(int index);
    void CopyEditorSettings(TMailEditor& from, TMailEditor& to);
    bool TabRowVisible() const;

    void SetOpenDir(const std::filesystem::path& dir);
    void SetSaveDir(const std::filesystem::path& dir);
    void UpdateCommandStates();

    // File commands.
    void New() { OpenFileInPage({}, true); }
    void Open();
    // Opens each file in turn (the first in a page of its own) with the read-only choice.
    void OpenFiles(const std::vector<std::filesystem::path>& files, bool readOnly);
    void Close() { CloseEditorPage(PageIndex()); }
    void Revert();
    void Save();
    void SaveAs(TMailEditor& editor);
    void SaveSelection();
    void SaveAll();

    // Search commands. The Find and Replace dialogs stay open beside the text; they are made on first
    // use (null before).
    void Find();
    void FindAgain();
    void Replace();
    TFindDialog* FindDialog() const { return m_FindDialog; }
    TFindDialog* ReplaceDialog() const { return m_ReplaceDialog; }

    // Mail commands. Reformat Quoted Text asks for the quotes in its dialog (made on first use, null
    // before); it and Flow Text ask first when nothing is selected.
    void PasteQuote() { CurrentEditor()->PasteQuote(); }
    void FlowText();
    void ReformatQuotedText();
    TReformatDialog* ReformatDialog() const { return m_ReformatDialog; }
    void UUDecode() { CurrentEditor()->DecodeText(); }
    // Merges the files chosen in the Merge dialog into the current page, each as MergeMode says.
    void Merge();
    void MergeFiles(const std::vector<std::filesystem::path>& files);
    void Tools();

    // Edit, View, Format and Help commands that need the window.
    void ReplaceBlock();
    void ToggleWrapMode();
    void ZoomBy(int steps) { CurrentEditor()->SetZoom(CurrentEditor()->Zoom() + steps); }
    void ChooseFont();
    void About();

    std::filesystem::path OpenDir, SaveDir;
    std::string LastFindText;
    std::string BlockReplaceStr;
    bool CancelClose = false;
    bool UseSaveDir = false;
    bool ForceLineBreaks = false;
    // The Save dialogs ask before overwriting and modified documents are offered for saving; off,
    // both are saved without a question.
    bool OverwritePrompt = true;
    std::string CommonTextFileTypes = "*.txt;*.asc;*.doc;*.htm;*.html;*.ini;*.log;*.me";
    // What Merge and the file dialogs keep between uses, for the settings store to read and fill: the
    // compression tools (the two built-in ones at first), the tool and transform chosen last, the Merge
    // dialog's directory and the Quick Jump directories, the most recent first.
    TCompressUtilityList CompressUtilities;
    int DefaultUtility = -1;
    int MergeMode = mmNone;
    std::filesystem::path MergeDir;
    std::vector<std::filesystem::path> QuickList;
    unsigned LastEditorState = 0;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    TMailEditor* NewEditor();
    void BindEditor(TMailEditor& editor);
    void RemovePage(int index);
    void PageChanged(int index);
    void UpdateCaption();
    // An editor's document has a new name: its tab and the caption show it.
    void FileNameChanged(TMailEditor& editor);
    void ShowTabRow();
    int IndexOf(const TLinesViewer& editor) const;
    QString FileFilter() const;
    // The Save dialog; an empty path when cancelled. The directory chosen is remembered, and a name
    // without extension gets ".txt" when `text` says the file is a text.
    std::filesystem::path AskSaveName(const QString& title, const std::filesystem::path& name,
                                      bool text = true);

    // Editor events.
    void StateChanged(TLinesViewer& sender);
    void Progress(TLinesViewer& sender, TTextPos done, TTextPos total, bool& cancel);
    void CaretMoved(TLinesViewer& sender);
    void WrapModeChanged(TTextViewer& sender);
    void KeyDown(TLinesViewer& sender, int& key, Qt::KeyboardModifiers shift);
    void SaveModePrompt(TMailEditor& editor, TSaveMode& mode);
    void SaveModified(TDocumentFile& document, TModalResult& answer);
    void StartDecode(std::string& fileName, bool& cancel);
    void EndDecode(TUdStates state, TUUErrors error, const std::string& fileName);
    // Reports what an encoding command gave, for the file it was asked to encode.
    void EncodeReport(TEncodeResult result, const std::filesystem::path& file);

    void FindNextFrom(TFindDialog& dialog);
    void ReplaceFromDialog(bool all);
    void ReplacedAll(TTextPos count);

    void CreateStatusBar();
    void CreateMenus();
    void CreateLocalMenu();
    void CreateToolBar();
    // A command: its hint goes to the status bar while it is highlighted, and its failure to an error box.
    QAction* Command(const QString& caption, const QString& hint, std::function<void()> run);
    QAction* AddCommand(QMenu* menu, const QString& caption, const QString& shortcut, const QString& hint,
                        std::function<void()> run);
    // A command that runs an operation of the current editor.
    std::function<void()> OnEditor(void (TMailEditor::*operation)());
    QAction* AddButton(QToolBar* bar, TToolIcon icon, const QString& tip, std::function<void()> run);
    // Shows a menu item's hint in the first status panel, unless a long operation's notice is there.
    void ShowHint(const QString& hint);

    std::vector<TMailEditor*> m_Pages;
    // Every page's background work runs, not only the current one's.
    std::map<TMailEditor*, std::unique_ptr<TIdleDriver::TRegistration>> m_PageIdle;
    QStackedWidget* m_Stack;
    QTabBar* m_Tabs;
    QLabel* m_StatusPanel;
    QLabel* m_PositionPanel;
    QLabel* m_ModifiedPanel;
    QLabel* m_InsertPanel;
    QLabel* m_WrapInfoPanel;
    QLabel* m_LineBreakPanel; // the line break that the current page's document writes
    TProgressMeter* m_ProgressMeter;
    QString m_Hint;
    QMenu* m_LocalMenu = nullptr;
    TFindDialog* m_FindDialog = nullptr;
    TFindDialog* m_ReplaceDialog = nullptr;
    TReformatDialog* m_ReformatDialog = nullptr;
    TUUDecodeDialog* m_DecodeDialog = nullptr;
    TToolsDialog* m_ToolsDialog = nullptr;
    // Commands by the editor state that enables them.
    struct TCommandGroups {
        std::vector<QAction*> Text, Selection, Clipboard, Modified, Column;
        QAction *FindAgain, *Undo, *Redo, *Revert;
    } m_Enabled{};
    // The tool buttons of the wrap modes, by mode.
    std::array<QAction*, 4> m_WrapButtons{};
};
