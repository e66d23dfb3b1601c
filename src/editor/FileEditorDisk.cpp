// TFileEditor and its file on disk: the watch, the bar that tells of a change, and what it offers.

#include <QEvent>
#include <QFileInfo>

#include "editor/FileEditor.h"

namespace {

QString Quoted(const std::filesystem::path& name) {
    return "\"" + QString::fromStdString(name.filename().string()) + "\"";
}

} // namespace

void TFileEditor::Watch(bool on) {
    if (!m_Watcher.files().isEmpty()) m_Watcher.removePaths(m_Watcher.files());
    if (!m_Watcher.directories().isEmpty()) m_Watcher.removePaths(m_Watcher.directories());
    m_Kept.reset();
    const QString name = QString::fromStdString(FileName().string());
    if (!on) {
        ShowDiskBar(false);
        return;
    }
    if (!name.isEmpty()) {
        // A file replaced by rename is another file: the folder tells of it, and the file is watched anew.
        if (QFileInfo::exists(name)) m_Watcher.addPath(name);
        m_Watcher.addPath(QFileInfo(name).absolutePath());
    }
    CheckDisk();
}

void TFileEditor::CheckDisk() {
    if (m_State & sfBusy) { // a save of its own may be under way: look once it is over
        m_DiskTimer.start();
        return;
    }
    const QString name = QString::fromStdString(FileName().string());
    if (!name.isEmpty() && QFileInfo::exists(name)) { // the name may hold another file now
        m_Watcher.removePath(name);
        m_Watcher.addPath(name);
    }
    const TDiskChange change = m_Document.DiskChange();
    if (change == TDiskChange::dcNone) {
        m_Kept.reset();
        ShowDiskBar(false);
        return;
    }
    if (m_Kept && *m_Kept == TFileIdentity::At(FileName())) return; // as it was when the user chose
    m_Kept.reset();
    const QString file = Quoted(FileName());
    switch (change) {
    case TDiskChange::dcReplaced:
        m_DiskBar->Tell(file + " was replaced by another program. The text here is still the one read "
                               "before.",
                        true, true, false);
        break;
    case TDiskChange::dcDeleted:
        m_DiskBar->Tell(file + " was deleted or renamed by another program. The text here is still whole; "
                               "saving writes it under its name again.",
                        false, true, true);
        break;
    default:
        m_DiskBar->Tell(file + " was written over or cut short by another program. The text here reads its "
                               "unchanged parts from the file, so it may now mix the two versions.",
                        true, false, true);
    }
    ShowDiskBar(true);
}

void TFileEditor::ShowDiskBar(bool show) {
    m_DiskBar->setVisible(show);
    if (show) m_DiskBar->raise();
    PlaceDiskBar();
}

void TFileEditor::PlaceDiskBar() {
    // The text starts below the bar, which is as wide as the text and as high as its message needs;
    // the vertical scroll bar keeps its whole height beside both.
    const int frame = frameWidth(), width = viewport()->geometry().right() + 1 - frame;
    const int height = m_DiskBar->isHidden()            ? 0
                       : m_DiskBar->hasHeightForWidth() ? m_DiskBar->heightForWidth(width)
                                                        : m_DiskBar->sizeHint().height();
    m_DiskBar->setGeometry(frame, frame, width, height);
    if (viewportMargins().top() != height) setViewportMargins(0, height, 0, 0);
}

bool TFileEditor::viewportEvent(QEvent* event) {
    // The text's width changes with the editor's and when a scroll bar comes or goes.
    if (event->type() == QEvent::Resize) PlaceDiskBar();
    return TStreamEditor::viewportEvent(event);
}

void TFileEditor::Reload() {
    if (Modified() && MessageDlg("Reload " + Quoted(FileName()).toStdString() +
                                     " from disk and lose all changes made here?",
                                 TMsgDlgType::mtConfirmation, TMsgButtons::mbYesNo) != TModalResult::mrYes)
        return;
    Text().SetModified(false);
    m_Document.SetFileName(FileName());
}

void TFileEditor::KeepMine() {
    m_Kept = TFileIdentity::At(FileName());
    ShowDiskBar(false);
}

void TFileEditor::SaveMixedAs() {
    if (!m_Document.OnSaveNewFile) return;
    m_Document.SetRewriteAccepted(true);
    try {
        m_Document.OnSaveNewFile(m_Document);
    } catch (...) {
        m_Document.SetRewriteAccepted(false);
        throw;
    }
    m_Document.SetRewriteAccepted(false);
}
