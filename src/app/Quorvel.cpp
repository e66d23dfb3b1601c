// The main window's page model, file commands and close sequence.

#include "app/Quorvel.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "app/FindDialog.h"
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

QString TabCaption(const fs::path& fileName) {
    return fileName.empty() ? "<untitled>" : QString::fromStdString(fileName.filename().string());
}

} // namespace

TQuorvel::TQuorvel(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle("Quorvel");
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
    AddBuiltInUtilities(CompressUtilities);
    m_Pages.push_back(first);
    connect(m_Tabs, &QTabBar::currentChanged, this, &TQuorvel::PageChanged);
    m_Tabs->addTab(TabCaption({}));
    ShowTabRow();
    resize(600, 379 + menuBar()->sizeHint().height()); // tool bar, pages and status bar share the 379
}

TQuorvel::~TQuorvel() {
    // The editors go first: their events reach this window, which must still be whole.
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
        if (i != before && Page(i)->FileName().empty() && !Page(i)->Modified()) {
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
    const int index = IndexOf(editor);
    if (index < 0) return;
    m_Tabs->setTabText(index, TabCaption(editor.FileName()));
    if (index != PageIndex()) return;
    UpdateCaption();
    UpdateCommandStates(); // the status bar shows the new document's line break
}

void TQuorvel::UpdateCaption() {
    if (PageIndex() >= 0) setWindowTitle("Quorvel - " + m_Tabs->tabText(PageIndex()));
}

void TQuorvel::CopyEditorSettings(TMailEditor& from, TMailEditor& to) {
    to.Document().SetBackupFiles(from.Document().BackupFiles());
    to.Document().SetFileLocking(from.Document().FileLocking());
    to.Document().SetSaveMode(from.Document().SaveMode());
    to.SetAutoScroll(from.AutoScroll());
    to.SetAutoIdle(from.AutoIdle());
    to.SetBeepOn(from.BeepOn());
    to.SetBorder_Style(from.Border_Style());
    to.SetDoubleClickMode(from.DoubleClickMode());
    to.setFont(from.font());
    to.SetMaxUndoLevels(from.MaxUndoLevels());
    to.SetLineNumberMode(from.LineNumberMode());
    to.SetPagingMode(from.PagingMode());
    to.SetReadOnly(from.ReadOnly());
    to.SetShowLineBreaks(from.ShowLineBreaks());
    to.SetWrapMode(from.WrapMode());
    for (int index = 0; index < TLinesViewer::KeyCount; ++index)
        to.SetKeyCode(index, from.KeyCode(index));
    to.SetQuickKey(from.QuickKey());
    to.SetSaveMode(from.SaveMode());
    to.SetSelectAfterPaste(from.SelectAfterPaste());
    to.Text().SetOEMConvert(from.Text().OEMConvert());
    to.SetMaxTextSize(from.MaxTextSize());
    to.SetMaxLineLength(from.MaxLineLength());
    to.SetWantTabs(from.WantTabs());
    to.SetShowPageBreaks(from.ShowPageBreaks());
    to.SetInsertOn(from.InsertOn());
    to.SetDragMargin(from.DragMargin());
    to.SetLeftMargin(from.LeftMargin());
    to.SetRightMargin(from.RightMargin());
    to.SetWPMode(from.WPMode());
    to.Text().OnWriteProtect = from.Text().OnWriteProtect;
    to.SetMailQuote(from.MailQuote());
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
    TFileDialog dialog(this, "Open File", OpenDir, FileFilter(), QuickList);
    dialog.setFileMode(QFileDialog::ExistingFiles);
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
    const fs::path name = AskSaveName("Save File", editor.FileName());
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
    event->accept();
}
