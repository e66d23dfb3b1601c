// The main window's start-up: the command line's options and files, the StartUp setting, and the
// files that later instances hand over.

#include <QApplication>
#include <QTimer>

#include "app/FileList.h"
#include "app/Quorvel.h"

namespace fs = std::filesystem;

void TQuorvel::StartUpWith(const TCommandLine& line, const std::string& stdinText) {
    if (line.Options & coLineBreaks) ForceLineBreaks = true;
    if (line.Options & coNoPrompt) OverwritePrompt = false;
    if (line.Options & coWrap) {
        CurrentEditor()->SetWrapMode(static_cast<TWrapModes>(line.WrapMode));
        if (line.WrapMode == static_cast<int>(TWrapModes::opAbsoluteWrap))
            CurrentEditor()->SetMaxLineLength(line.LineLength);
    }
    if (line.Print) {
        PrintAndExit(line.Files.front().Name);
        return;
    }
    // The first file goes to the first page, the others to pages of their own behind it.
    for (size_t i = 0; i < line.Files.size(); ++i)
        Guarded([&] {
            const TCommandLine::TFile& file = line.Files[i];
            TFileEditor* editor = CurrentEditor();
            if (i > 0)
                editor = OpenOrCreate(file.Name, false);
            else if (fs::exists(file.Name))
                editor->SetFileName(file.Name);
            else
                SetNewFileName(*editor, file.Name);
            if (file.Line > 0) GoToFileLine(*editor, file.Line);
        });
    if (line.ReadStdin) {
        TFileEditor* editor = line.Files.empty() ? CurrentEditor() : OpenFileInPage({}, false);
        editor->SetWindowText(stdinText);
    } else if (line.Files.empty()) {
        const bool recent = StartUp == 2 && m_FileList->Count() > 0 && fs::exists(m_FileList->Entry(0));
        if (recent)
            Guarded([&] { CurrentEditor()->SetFileName(m_FileList->Entry(0)); });
        else if (StartUp == 1 || StartUp == 2)
            QTimer::singleShot(0, this, [this] { Guarded([this] { StartUpOpen(); }); });
    }
    StartedUp = true;
    OpenPendingHandOffs();
}

void TQuorvel::StartUpOpen() {
    if (m_FileList->Count() > 0)
        OpenFromDialog(m_FileList->Entry(0).parent_path(), m_FileList->Entry(0).filename());
    else
        OpenFromDialog(OpenDir, {});
}

void TQuorvel::PrintAndExit(const fs::path& fileName) {
    NoSaveSettings = true;
    showMinimized();
    bool printed = false;
    Guarded([&] {
        CurrentEditor()->SetFileName(fileName);
        PrintDocument(1, 0, 1, 1);
        printed = true;
    });
    QCoreApplication::exit(printed ? 0 : 1);
}

bool TQuorvel::ReceiveHandOff(const TFileHandOff& record) {
    if (m_Closing) return false;
    m_PendingHandOffs.push_back(record);
    OpenPendingHandOffs();
    return true;
}

void TQuorvel::OpenPendingHandOffs() {
    if (m_PendingHandOffs.empty() || m_Closing) return;
    bool busy = false;
    for (const TFileEditor* editor : m_Pages)
        busy = busy || (editor->State() & sfBusy);
    // Opening a page under a question or a long operation would pull the page from under it.
    if (!StartedUp || busy || QApplication::activeModalWidget() || QApplication::activePopupWidget()) {
        if (!m_HandOffRetry) {
            m_HandOffRetry = true;
            QTimer::singleShot(100, this, [this] {
                m_HandOffRetry = false;
                OpenPendingHandOffs();
            });
        }
        return;
    }
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    raise();
    activateWindow();
    while (!m_PendingHandOffs.empty()) {
        const TFileHandOff record = m_PendingHandOffs.front();
        m_PendingHandOffs.pop_front();
        Guarded([&] {
            TFileEditor* editor = OpenOrCreate(record.FileName, true);
            if (record.WrapGiven) {
                editor->SetWrapMode(static_cast<TWrapModes>(record.WrapMode));
                editor->SetMaxLineLength(record.LineLength);
            }
            if (record.Line > 0) GoToFileLine(*editor, record.Line);
            if (OnHandOffShown) OnHandOffShown(*editor);
        });
    }
}

void TQuorvel::GoToFileLine(TFileEditor& editor, TTextPos line) {
    TEditStream& text = editor.Text();
    std::vector<unsigned char> block(1 << 16);
    TTextPos lineStart = 0, reached = 1;
    for (TTextPos offset = 0; reached < line && offset < text.TextSize();) {
        const TTextPos got = text.CopyToBuffer(block.data(), offset, static_cast<TTextPos>(block.size()));
        if (got <= 0) break;
        for (TTextPos i = 0; i < got && reached < line; ++i)
            if (block[static_cast<size_t>(i)] == '\n') {
                ++reached;
                lineStart = offset + i + 1;
            }
        offset += got;
    }
    editor.GoToOffset(lineStart, true);
}
