#pragma once

#include <memory>
#include <optional>

#include <QFileSystemWatcher>
#include <QTimer>

#include "editor/BigEditor.h"
#include "editor/DiskChangeBar.h"
#include "text/DocumentFile.h"
#include "text/Exceptions.h"

// The editor on any stream: binding one starts the view over.
class TStreamEditor : public TBigEditor {
    Q_OBJECT
public:
    explicit TStreamEditor(QWidget* parent = nullptr) : TBigEditor(parent) {}

    void SetStream(std::unique_ptr<TStream> stream);
};

// The editor of a file: opening (locked or shared), the read-only question, saving under the same or a
// new name with a backup, and the question whether to save changes, through its document. It watches
// its file: when another program changes, replaces or deletes it, a bar above the text says so and
// offers to reload it, keep the text shown, or save that text elsewhere.
class TFileEditor : public TStreamEditor {
    Q_OBJECT
public:
    explicit TFileEditor(QWidget* parent = nullptr);

    // The document is bound to the editor's own text, which nothing replaces.
    void SetTextBuffer(std::unique_ptr<TLinesBuffer>) override {
        throw EInternalError("A file editor keeps its own text");
    }
    TDocumentFile& Document() { return m_Document; }
    const std::filesystem::path& FileName() const { return m_Document.FileName(); }
    void SetFileName(const std::filesystem::path& name) { m_Document.SetFileName(name); }
    // Saves in busy mode, so a long save shows progress and can be cancelled.
    void Save(const std::filesystem::path& name);
    bool QuerySave() { return m_Document.QuerySave(); }
    void New() { m_Document.New(); }
    // Opens the file again from disk, after asking whether to drop the changes made here.
    void Reload();
    // The bar about the file's change on disk; hidden while there is none to tell.
    const TDiskChangeBar& DiskChangeBar() const { return *m_DiskBar; }
    // Looks at the file on disk now, as a change reported by the system makes it do.
    void CheckDisk();

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void Refresh();
    // Watches the document's file and its folder (where it may be replaced or made again), or nothing.
    void Watch(bool on);
    void ShowDiskBar(bool show);
    void PlaceDiskBar();
    void KeepMine();
    // The host's Save As, allowed to write a text whose file was rewritten meanwhile.
    void SaveMixedAs();

    TDocumentFile m_Document;
    QFileSystemWatcher m_Watcher;
    QTimer m_DiskTimer; // gathers the reports of one change into one look
    TDiskChangeBar* m_DiskBar;
    // What the file's name held when the user chose to keep the text (none: nothing there).
    std::optional<std::optional<TFileIdentity>> m_Kept;
    bool m_RefreshPending = false;
    std::vector<TTextPos> m_Moved; // the caret and selection offsets in the text as saved
};
