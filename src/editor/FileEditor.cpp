#include "editor/FileEditor.h"

#include <utility>

void TStreamEditor::SetStream(std::unique_ptr<TStream> stream) {
    Clear();
    Text().SetStream(std::move(stream));
    TextLoaded();
}

TFileEditor::TFileEditor(QWidget* parent)
    : TStreamEditor(parent), m_Document(Text()), m_DiskBar(new TDiskChangeBar(this)) {
    m_Document.OnClear = [this] {
        Clear();
        Watch(false);
    };
    m_Document.OnReset = [this] {
        TextLoaded();
        Watch(true);
    };
    m_Document.OnProgress = [this](TTextPos done, TTextPos) {
        return (m_State & sfBusy) && !PollAbort(done);
    };
    // A save that wrote line breaks changed the text: the view starts over, the caret and the selection
    // at their places in the text as saved. Any other save leaves the layout as it is.
    m_Document.OnGetPositions = [this] {
        return std::vector<TTextPos>{CaretOffset(), m_Sel.StartOffset, m_Sel.EndOffset};
    };
    m_Document.OnSetPositions = [this](const std::vector<TTextPos>& moved) { m_Moved = moved; };
    // Starting the view over ends busy mode: a save in busy mode refreshes after it.
    m_Document.OnRefresh = [this] {
        if (m_State & sfBusy)
            m_RefreshPending = true;
        else
            Refresh();
        Watch(true); // saved under another name, or the name's file replaced by the saved one
    };
    m_DiskTimer.setSingleShot(true);
    m_DiskTimer.setInterval(100);
    connect(&m_DiskTimer, &QTimer::timeout, this, [this] { Guarded([this] { CheckDisk(); }); });
    connect(&m_Watcher, &QFileSystemWatcher::fileChanged, this, [this] { m_DiskTimer.start(); });
    connect(&m_Watcher, &QFileSystemWatcher::directoryChanged, this, [this] { m_DiskTimer.start(); });
    m_DiskBar->OnReload = [this] { Reload(); };
    m_DiskBar->OnKeep = [this] { KeepMine(); };
    m_DiskBar->OnSaveAs = [this] { SaveMixedAs(); };
}

void TFileEditor::Refresh() {
    if (m_Moved.size() == 3) {
        const TSelModes selMode = m_Sel.Mode;
        const TTextPos row = m_CaretLine - m_TopLine;
        TextLoaded();
        GoToOffset(m_Moved[0], false);
        SetTopLine(m_CaretLine - row);
        if (selMode != TSelModes::smNone)
            SetSelection(OffsetToPos(m_Moved[1]), OffsetToPos(m_Moved[2]), selMode);
        m_Moved.clear();
    }
    InvalidateAll();
}

void TFileEditor::Save(const std::filesystem::path& name) {
    if (name.empty()) { // the host is asked for a name, and saves under it
        m_Document.Save(name);
        return;
    }
    const auto refresh = [this] {
        if (std::exchange(m_RefreshPending, false)) Refresh();
    };
    // Asked to save elsewhere, the host's Save dialog saves again: after busy mode ends.
    bool elsewhere = false;
    auto host = std::exchange(m_Document.OnSaveNewFile, [&elsewhere](TDocumentFile&) { elsewhere = true; });
    try {
        TBusy busy(*this, TextSize());
        m_Document.Save(name);
    } catch (...) {
        m_Document.OnSaveNewFile = std::move(host);
        refresh(); // a save that failed after changing the text still shows the text it left
        throw;
    }
    m_Document.OnSaveNewFile = std::move(host);
    refresh();
    if (elsewhere && m_Document.OnSaveNewFile) m_Document.OnSaveNewFile(m_Document);
}
