// The main window's page model, file commands and close sequence.

#include "app/Quorvel.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QMimeData>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include "app/FileList.h"
#include "app/FindDialog.h"
#include "app/HandOffServer.h"
#include "editor/IdleDriver.h"
#include "text/Exceptions.h"

namespace fs = std::filesystem;

namespace {

// Two names of one file are one name: pages compare files by their canonical paths.
fs::path Canonical(const fs::path& name) {
    std::error_code error;
    const fs::path path = fs::weakly_canonical(fs::absolute(name, error), error);
    return error ? name : path;
}

QString PageName(const fs::path& fileName) {
    return fileName.empty() ? "<untitled>" : QString::fromStdString(fileName.filename().string());
}

// A tab shows "&" as it is, not as the mark of a shortcut.
QString TabCaption(const fs::path& fileName) {
    return PageName(fileName).replace('&', "&&");
}

} // namespace

TQuorvel::TQuorvel(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Quorvel");
    setAcceptDrops(true);
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_Stack = new QStackedWidget(central);
    m_Tabs = new QTabBar(central);
    m_Tabs->setShape(QTabBar::RoundedSouth);
    m_Tabs->setDrawBase(false);
    m_Tabs->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(m_Stack, 1);
    layout->addWidget(m_Tabs);
    setCentralWidget(central);
    m_FileList = new TFileList(this);
    m_FileList->SetMaxFilesOnList(6);
    m_FileList->OnOpenFile = [this](TFileList&, const fs::path& name) { OpenRecentFile(name); };
    CreateToolBar();
    CreateStatusBar();
    CreateMenus();
    CreateLocalMenu();

    // The first page's editor, whose settings every later page copies.
    TMailEditor* first = NewEditor();
    QFont font("Courier New");
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(13);
    first->setFont(font);
    first->SetMaxLineLength(76); // what wrapping after n characters starts with
    first->SetWPMode(true);      // by default the caret never stands beyond a line's end
    m_BuiltInSettings = EditorSettings(*first);
    AddBuiltInUtilities(CompressUtilities);
    m_Pages.push_back(first);
    connect(m_Tabs, &QTabBar::currentChanged, this, &TQuorvel::PageChanged);
    m_Tabs->addTab(TabCaption({}));
    ShowTabRow();
    resize(600, 379 + menuBar()->sizeHint().height()); // tool bar, pages and status bar share the 379
}

TQuorvel::~TQuorvel() {
    // The editors go first: their events reach this window, which must still be whole. Their bookmarks
    // go before them.
    m_Bookmarks = TBookmarkHistory();
    m_PageIdle.clear();
    for (TMailEditor* editor : m_Pages)
        delete editor;
}

TMailEditor* TQuorvel::NewEditor() {
    auto* editor = new TMailEditor(m_Stack);
    editor->SetAutoIdle(false); // the window runs every page's background work, not only the focused one's
    m_Stack->addWidget(editor);
    BindEditor(*editor);
    editor->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(editor, &QWidget::customContextMenuRequested, this,
            [this, editor](QPoint at) { m_LocalMenu->popup(editor->viewport()->mapToGlobal(at)); });
    m_PageIdle[editor] = std::make_unique<TIdleDriver::TRegistration>(*editor);
    return editor;
}

int TQuorvel::PageIndex() const {
    return m_Tabs->currentIndex();
}

TMailEditor* TQuorvel::CurrentEditor() const {
    return PageIndex() >= 0 ? Page(PageIndex()) : m_Pages.front();
}

void TQuorvel::SelectPage(int index) {
    m_Tabs->setCurrentIndex(index);
}

bool TQuorvel::TabRowVisible() const {
    return !m_Tabs->isHidden();
}

void TQuorvel::ShowTabRow() {
    m_Tabs->setVisible(PageCount() >= 2);
}

int TQuorvel::IndexOf(const TLinesViewer& editor) const {
    for (int i = 0; i < PageCount(); ++i)
        if (Page(i) == &editor) return i;
    return -1;
}

TMailEditor* TQuorvel::OpenFileInPage(const fs::path& fileName, bool select) {
    const int before = PageIndex();
    if (!fileName.empty()) {
        const fs::path wanted = Canonical(fileName);
        for (int i = 0; i < PageCount(); ++i)
            if (!Page(i)->FileName().empty() && Canonical(Page(i)->FileName()) == wanted) {
                SelectPage(i);
                return Page(i);
            }
    }
    TMailEditor* editor = nullptr;
    for (int i = 0; i < PageCount() && !editor; ++i)
        if (i != before && Page(i)->FileName().empty() && !Page(i)->Modified() && !NewFileName(*Page(i))) {
            SelectPage(i);
            editor = Page(i);
        }
    if (!editor) {
        TMailEditor& current = *CurrentEditor();
        editor = NewEditor();
        m_Pages.push_back(editor);
        m_Tabs->addTab(TabCaption({}));
        if (select) SelectPage(PageCount() - 1);
        CopyEditorSettings(current, *editor);
    }
    try {
        editor->SetFileName(fileName);
    } catch (...) {
        SelectPage(before);
        ShowTabRow();
        throw;
    }
    ShowTabRow();
    return editor;
}

void TQuorvel::CloseEditorPage(int index) {
    if (index < 0 || index >= PageCount()) throw Exception("Invalid Editor Index");
    CancelClose = false;
    TMailEditor* editor = Page(index);
    editor->New();
    // Still modified: the user cancelled, or a save asked for did not happen; the page stays.
    if (!CancelClose && !editor->Modified() && PageCount() >= 2) RemovePage(index);
    ShowTabRow();
}

void TQuorvel::RemovePage(int index) {
    TMailEditor* editor = Page(index);
    m_Bookmarks.DropEditor(*editor);
    UpdateCommandStates();
    m_NewFileNames.erase(editor);
    m_PageIdle.erase(editor);
    m_Stack->removeWidget(editor); // moves the focus away, which the editor reports while still a page
    m_Pages.erase(m_Pages.begin() + index);
    m_Tabs->removeTab(index); // selects another page, which is then shown
    editor->deleteLater();    // the close may have come from one of the editor's own events
}

void TQuorvel::PageChanged(int index) {
    if (index < 0 || index >= PageCount()) return;
    TMailEditor* editor = Page(index);
    m_Stack->setCurrentWidget(editor);
    if (editor->isEnabled()) editor->setFocus();
    UpdateCaption();
    WrapModeChanged(*editor);
    CaretMoved(*editor); // which also brings the commands' states up to date
}

void TQuorvel::FileNameChanged(TMailEditor& editor) {
    m_NewFileNames.erase(&editor); // the page was saved under its new name, or now shows another text
    const int index = IndexOf(editor);
    if (index < 0) return;
    m_FileList->AddFile(editor.FileName());
    m_Tabs->setTabText(index, TabCaption(editor.FileName()));
    if (index != PageIndex()) return;
    UpdateCaption();
    UpdateCommandStates(); // the status bar shows the new document's line break
}

void TQuorvel::UpdateCaption() {
    if (PageIndex() < 0) return;
    const fs::path* newName = NewFileName(*Page(PageIndex()));
    // A changed document shows "*", as desktop programs show it.
    setWindowTitle("Quorvel - " + PageName(newName ? *newName : Page(PageIndex())->FileName()) +
                   (Page(PageIndex())->Modified() ? " *" : ""));
}

void TQuorvel::CopyEditorSettings(TMailEditor& from, TMailEditor& to) {
    TEditorSettings settings = EditorSettings(from);
    const TEditorSettings own = EditorSettings(to);
    settings.TabStops = own.TabStops;
    settings.PrinterMetrics = own.PrinterMetrics;
    settings.TripleClick = own.TripleClick;
    ApplyEditorSettings(to, settings);
    to.SetMailQuote(from.MailQuote());
    to.Text().OnWriteProtect = from.Text().OnWriteProtect;
    to.SetMailQuote(from.MailQuote());
}

const fs::path* TQuorvel::NewFileName(const TFileEditor& editor) const {
    const auto found = m_NewFileNames.find(&editor);
    return found == m_NewFileNames.end() ? nullptr : &found->second;
}

TFileEditor* TQuorvel::OpenOrCreate(const fs::path& fileName, bool select) {
    std::error_code error;
    if (fileName.empty() || fs::exists(fileName, error) || error) return OpenFileInPage(fileName, select);
    const fs::path wanted = Canonical(fileName);
    for (const auto& [editor, name] : m_NewFileNames)
        if (name == wanted) {
            SelectPage(IndexOf(*editor));
            return Page(PageIndex());
        }
    TFileEditor* editor = OpenFileInPage({}, select);
    SetNewFileName(*editor, wanted);
    return editor;
}

void TQuorvel::SetNewFileName(TFileEditor& editor, const fs::path& name) {
    m_NewFileNames[&editor] = Canonical(name);
    m_Tabs->setTabText(IndexOf(editor), TabCaption(name));
    UpdateCaption();
}

void TQuorvel::SaveNewFile(TMailEditor& editor) {
    if (const fs::path* name = NewFileName(editor))
        editor.Save(fs::path(*name)); // a copy: saving forgets the name it was asked to use
    else
        SaveAs(editor);
}

void TQuorvel::SetOpenDir(const fs::path& dir) {
    OpenDir = dir;
    if (!UseSaveDir) SaveDir = dir;
}

void TQuorvel::SetSaveDir(const fs::path& dir) {
    SaveDir = dir;
    if (!UseSaveDir) OpenDir = dir;
}

// File commands ----------------------------------------------------------------------------------

QString TQuorvel::FileFilter() const {
    return "Common Text Files (" + QString::fromStdString(CommonTextFileTypes).replace(';', ' ') +
           ");;Text Files (*.txt);;All Files (*)";
}

void TQuorvel::Open() {
    OpenFromDialog(OpenDir, {});
}

void TQuorvel::OpenFromDialog(const fs::path& dir, const fs::path& name) {
    TFileDialog dialog(this, "Open File", dir, FileFilter(), QuickList);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name.string()));
    auto* readOnly = new QCheckBox("&Read only", &dialog);
    dialog.AddRow(readOnly);
    if (dialog.Run()) OpenFiles(dialog.Files(), readOnly->isChecked());
}

void TQuorvel::OpenFiles(const std::vector<fs::path>& files, bool readOnly) {
    for (size_t i = 0; i < files.size(); ++i) {
        SetOpenDir(files[i].parent_path());
        OpenFileInPage(files[i], i == 0)->SetReadOnly(readOnly);
    }
}

namespace {

// The local files among what is dragged; none when anything else is dragged.
std::vector<fs::path> DroppedFiles(const QMimeData* mime) {
    std::vector<fs::path> files;
    if (!mime || !mime->hasUrls()) return files;
    for (const QUrl& url : mime->urls()) {
        if (!url.isLocalFile()) return {};
        files.emplace_back(url.toLocalFile().toStdString());
    }
    return files;
}

} // namespace

void TQuorvel::dragEnterEvent(QDragEnterEvent* event) {
    const bool busy = std::any_of(m_Pages.begin(), m_Pages.end(),
                                  [](const TMailEditor* page) { return page->State() & sfBusy; });
    if (!busy && !m_Closing && !DroppedFiles(event->mimeData()).empty()) event->acceptProposedAction();
}

void TQuorvel::dropEvent(QDropEvent* event) {
    std::vector<fs::path> files = DroppedFiles(event->mimeData());
    if (files.empty()) return;
    event->acceptProposedAction();
    // Opened once the drop is over: the program that dragged them is not kept waiting by a question.
    QTimer::singleShot(0, this,
                       [this, files = std::move(files)] { Guarded([&] { OpenFiles(files, false); }); });
}

void TQuorvel::OpenRecentFile(const fs::path& name) {
    std::error_code error;
    if (!fs::exists(name, error) && !error) {
        m_FileList->RemoveFile(name);
        MessageDlg(name.string() + " no longer exists and was taken off the list of recent files.",
                   TMsgDlgType::mtInformation, TMsgButtons::mbOK);
        return;
    }
    OpenFileInPage(name, true);
}

void TQuorvel::Revert() {
    TMailEditor& editor = *CurrentEditor();
    if (editor.Modified() &&
        MessageDlg("Revert to Original Text and lose all Changes?", TMsgDlgType::mtInformation,
                   TMsgButtons::mbYesNo) != TModalResult::mrYes)
        return;
    editor.SetModified(false);
    editor.SetFileName(editor.FileName());
}

void TQuorvel::Save() {
    TMailEditor& editor = *CurrentEditor();
    editor.Save(editor.FileName());
}

fs::path TQuorvel::AskSaveName(const QString& title, const fs::path& name, bool text) {
    TFileDialog dialog(this, title, SaveDir, FileFilter(), QuickList);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!OverwritePrompt) dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!name.empty()) dialog.selectFile(QString::fromStdString(name.string()));
    if (!dialog.Run()) return {};
    fs::path chosen = dialog.Files().front();
    SetSaveDir(chosen.parent_path());
    if (text && !chosen.has_extension()) chosen += ".txt";
    return chosen;
}

void TQuorvel::SaveAs(TMailEditor& editor) {
    const fs::path* newName = NewFileName(editor);
    const fs::path name = AskSaveName("Save File", newName ? *newName : editor.FileName());
    if (!name.empty()) editor.Save(name);
}

void TQuorvel::SaveSelection() {
    const fs::path name = AskSaveName("Save Selection", {});
    if (!name.empty()) CurrentEditor()->SaveSelectionToFile(name);
}

void TQuorvel::SaveAll() {
    for (TMailEditor* editor : m_Pages)
        if (editor->Modified()) editor->Save(editor->FileName());
}

void TQuorvel::closeEvent(QCloseEvent* event) {
    bool mayClose = false;
    Guarded([&] {
        // Every modified document is offered for saving, the last page first; Cancel stops.
        CancelClose = false;
        for (int index = PageCount() - 1; index >= 0 && !CancelClose; --index)
            CloseEditorPage(index);
        mayClose = PageCount() == 1 && Page(0)->FileName().empty() && (Page(0)->State() & sfEmpty);
    });
    if (!mayClose) {
        event->ignore();
        return;
    }
    for (QWidget* dialog : {static_cast<QWidget*>(m_FindDialog), static_cast<QWidget*>(m_ReplaceDialog)})
        if (dialog) dialog->close();
    // From here on files handed over go to another instance.
    m_Closing = true;
    if (m_HandOffServer) m_HandOffServer->Close();
    event->accept();
}
