#pragma once

#include <memory>

#include "editor/BigEditor.h"
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
// new name with a backup, and the question whether to save changes, through its document.
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

private:
    void Refresh();

    TDocumentFile m_Document;
    bool m_RefreshPending = false;
    std::vector<TTextPos> m_Moved; // the caret and selection offsets in the text as saved
};
