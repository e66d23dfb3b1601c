#pragma once

#include <array>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QMainWindow>

#include "app/BookmarkHistory.h"
#include "app/CommandLine.h"
#include "app/FileDialogs.h"
#include "app/FileHandOff.h"
#include "app/ToolIcons.h"
#include "editor/EditorSettings.h"
#include "editor/IdleDriver.h"
#include "mail/CompressUtility.h"
#include "mail/MailEditor.h"

class QAction;
class QLabel;
class QMenu;
class QStackedWidget;
class QTabBar;
class QToolBar;
class TAddBookmarkDialog;
class TFileList;
class TFilePropertiesDialog;
class TFindDialog;
class TGotoDialog;
class TPageSetupDlg;
class TPreferencesDialog;
class TPrintStatus;
class THandOffServer;
class TProgressMeter;
class TQVIniFile;
class TReformatDialog;
class TTabStopsDialog;
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
    // Makes a new page's editor behave like an existing one; the tab stops, printer metrics and
    // triple click stay the new editor's own.
    void CopyEditorSettings(TMailEditor& from, TMailEditor& to);
    bool TabRowVisible() const;
    // Shows a file in a page as OpenFileInPage does; a name that is no file yet gives an empty page
    // under that name, and the file is made when the page is first saved.
    TFileEditor* OpenOrCreate(const std::filesystem::path& fileName, bool select);
    // The name an untitled page is to be saved under, or null.
    const std::filesystem::path* NewFileName(const TFileEditor& editor) const;
    // Puts the caret at the start of line `line` (from 1) of the file, counting line feeds.
    static void GoToFileLine(TFileEditor& editor, TTextPos line);

    // Settings: read once before the window is shown and written once when the program ends.
    void LoadSettings(const TQVIniFile& store);
    void SaveSettings(TQVIniFile& store);
    TFileList& FileList() const { return *m_FileList; }
    bool NewLook() const;
    void SetNewLook(bool flat);

    // Start-up, once the window is shown: the command line's options and files (`stdinText` for "-"),
    // or what StartUp says; then this instance takes files from later ones.
    void StartUpWith(const TCommandLine& line, const std::string& stdinText);
    // The Open dialog of start-up, in the most recent file's folder with its name chosen.
    void StartUpOpen();
    // A file handed over by another instance: opened here, the window brought to the front. While the
    // window starts, asks a question or runs a long operation, the file is put aside and opened once
    // it is free. False once the window is closing.
    bool ReceiveHandOff(const TFileHandOff& record);
    void SetHandOffServer(THandOffServer* server) { m_HandOffServer = server; }
    // Told when a handed-over file's page is shown.
    std::function<void(TFileEditor& editor)> OnHandOffShown;

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

    // Printing. Print asks the print dialog for the range and copies; the tool bar's button prints
    // everything without it unless there is a selection. PrintDocument asks whether to wrap at the
    // printer's width (unless the editor does) and prints, the pages numbered when PrintPageNumbers,
    // each headed by PrintTitle (empty: the file name). Print Setup chooses the printer and its
    // paper; Page Setup the current editor's margins, the title and the page numbers.
    void Print();
    void PrintButton();
    void PrintDocument(int copies, int range, TTextPos firstPage, TTextPos lastPage);
    void PrintSetup();
    void PageSetup();
    TPrintStatus* PrintStatus() const { return m_PrintStatus; }
    TPageSetupDlg* PageSetupDialog() const { return m_PageSetup; }

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
    // The current page's bytes as Unicode, and Unicode as its bytes (or EUserError, as UnicodeToText).
    QString Unicode(const std::string& bytes);
    std::string TextBytes(const QString& text);
    void ToggleWrapMode();
    void ToggleCharSet();
    void ZoomBy(int steps) { CurrentEditor()->SetZoom(CurrentEditor()->Zoom() + steps); }
    void ChooseFont();
    void About();
    // The help's contents and its introduction, in the help window; the home page in the desktop's
    // browser ("No default Web Browser" when none starts).
    void HelpTopics();
    void Introduction();
    void HomePage();

    // Bookmarks and Goto. The Add Bookmark and Goto dialogs stay open beside the text; they are made
    // on first use (null before). A page's bookmarks go with its text: when the page closes or shows
    // another document.
    void AddBookmark();
    void Goto();
    void GoToLastBookmark();
    // Selects the bookmark's page and puts its caret on the bookmark.
    void GoToBookmark(const TEditorBookmark& bookmark);
    const TBookmarkHistory& Bookmarks() const { return m_Bookmarks; }
    TAddBookmarkDialog* AddBookmarkDialog() const { return m_AddBookmarkDialog; }
    TGotoDialog* GotoDialog() const { return m_GotoDialog; }

    // Setup and Format dialogs. Preferences sets the window's options and those every page shares;
    // Tab Stops the current page's stops; File Properties shows the current document's file and sets
    // the attributes it gets when next saved.
    void Preferences();
    void TabStops();
    void FileProperties();

    std::filesystem::path OpenDir, SaveDir;
    std::string LastFindText;    // UTF-8, made the current text's bytes when it is used
    std::string BlockReplaceStr; // UTF-8 too
    std::string PrintTitle; // UTF-8
    bool PrintPageNumbers = true;
    bool CancelClose = false;
    bool UseSaveDir = false;
    bool ForceLineBreaks = false;
    // The Save dialogs ask before overwriting and modified documents are offered for saving; off,
    // both are saved without a question.
    bool OverwritePrompt = true;
    std::string CommonTextFileTypes =
        "*.txt;*.c;*.h;*.pas;*.cpp;*.asm;*.hpp;*.bat;*.htm;*.log;*.ini;*.lst;*.cgi";
    // What Merge and the file dialogs keep between uses, for the settings store to read and fill: the
    // compression tools (the two built-in ones at first), the tool and transform chosen last, the Merge
    // dialog's directory and the Quick Jump directories, the most recent first.
    TCompressUtilityList CompressUtilities;
    int DefaultUtility = -1;
    int MergeMode = mmNone;
    std::filesystem::path MergeDir;
    std::vector<std::filesystem::path> QuickList;
    unsigned LastEditorState = 0;
    // What a start without files shows: 0 nothing more, 1 the Open dialog, 2 the most recent file (the
    // Open dialog when it has gone).
    int StartUp = 1;
    bool NoSaveSettings = false; // print-and-exit: nothing is written at the end
    bool StartedUp = false;

protected:
    void closeEvent(QCloseEvent* event) override;
    // Files dropped from a file manager open in pages of their own.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

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
    // The Open dialog in `dir` with `name` chosen; opens what the user picks.
    void OpenFromDialog(const std::filesystem::path& dir, const std::filesystem::path& name);
    void OpenRecentFile(const std::filesystem::path& name);
    void PrintAndExit(const std::filesystem::path& fileName);
    // The "Compress" section: the compression tools and the one chosen last.
    void LoadTools(const TQVIniFile& store);
    void SaveTools(TQVIniFile& store) const;
    void OpenPendingHandOffs();
    void SaveNewFile(TMailEditor& editor);
    void SetNewFileName(TFileEditor& editor, const std::filesystem::path& name);
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

    // The print dialog for the current editor, with the selection offered when there is one; false
    // when it was cancelled, else the range and pages chosen.
    bool AskPrintRange(int& copies, int& range, TTextPos& firstPage, TTextPos& lastPage);
    // The PDF file a PDF printer writes `editor`'s text to (empty for a real printer).
    QString ChoosePdfFile(const TFileEditor& editor);
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
    // Adds the desktop's usual keys for a command after the command table's own; where the editor's key
    // table binds one of them, the editor keeps it.
    QAction* AlsoKeys(QAction* action, const QStringList& keys);
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
    QLabel* m_CharSetPanel;   // the character set its bytes are read in
    TProgressMeter* m_ProgressMeter;
    QString m_Hint;
    QMenu* m_LocalMenu = nullptr;
    TFindDialog* m_FindDialog = nullptr;
    TFindDialog* m_ReplaceDialog = nullptr;
    TPrintStatus* m_PrintStatus = nullptr;
    QString m_AutoPdfFile; // the PDF file last chosen here rather than in the print dialog
    TPageSetupDlg* m_PageSetup = nullptr;
    TReformatDialog* m_ReformatDialog = nullptr;
    TUUDecodeDialog* m_DecodeDialog = nullptr;
    TToolsDialog* m_ToolsDialog = nullptr;
    TBookmarkHistory m_Bookmarks;
    TAddBookmarkDialog* m_AddBookmarkDialog = nullptr;
    TGotoDialog* m_GotoDialog = nullptr;
    TPreferencesDialog* m_PreferencesDialog = nullptr;
    TTabStopsDialog* m_TabStopsDialog = nullptr;
    TFilePropertiesDialog* m_FilePropertiesDialog = nullptr;
    // Commands by the editor state that enables them.
    struct TCommandGroups {
        std::vector<QAction*> Text, Selection, Clipboard, Modified, Column;
        QAction *FindAgain, *Undo, *Redo, *Revert, *Utf8, *LastBookmark, *PropertiesButton;
    } m_Enabled{};
    // The tool buttons of the wrap modes, by mode.
    std::array<QAction*, 4> m_WrapButtons{};
    QToolBar* m_ToolBar = nullptr;
    TFileList* m_FileList;
    // What the first page's editor was made with: keys the user never changed are not stored.
    TEditorSettings m_BuiltInSettings;
    // Untitled pages opened under a name that is no file yet.
    std::map<const TFileEditor*, std::filesystem::path> m_NewFileNames;
    std::deque<TFileHandOff> m_PendingHandOffs;
    THandOffServer* m_HandOffServer = nullptr;
    bool m_Closing = false;
    bool m_HandOffRetry = false; // a later try to open the files put aside is due
};
