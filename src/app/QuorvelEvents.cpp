// The main window's side of the editors' events, and the status bar that shows them.

#include <algorithm>

#include <QAction>
#include <QLabel>
#include <QStatusBar>
#include <QTabBar>

#include "app/ProgressMeter.h"
#include "app/Quorvel.h"
#include "editor/PrintStatus.h"

namespace fs = std::filesystem;

namespace {

// A sunken panel of the status bar, as wide as its text needs and at least `width`. It has no minimum
// width of its own: in a bar too narrow for the texts the layout cuts panels, where a minimum would
// make them overlap.
class TStatusPanel : public QLabel {
public:
    TStatusPanel(int width, QWidget* parent) : QLabel(parent), m_Width(width) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    QSize sizeHint() const override {
        const QSize text = QLabel::sizeHint();
        return {std::max(m_Width, text.width()), text.height()};
    }

private:
    int m_Width;
};

} // namespace

void TQuorvel::CreateStatusBar() {
    m_StatusPanel = new TStatusPanel(145, this);
    m_PositionPanel = new TStatusPanel(152, this);
    m_PositionPanel->setObjectName("PositionPanel");
    m_ModifiedPanel = new TStatusPanel(59, this);
    m_InsertPanel = new TStatusPanel(59, this);
    m_WrapInfoPanel = new TStatusPanel(162, this);
    m_LineBreakPanel = new TStatusPanel(48, this);
    m_CharSetPanel = new TStatusPanel(96, this);
    for (QLabel* label : {m_StatusPanel, m_PositionPanel, m_ModifiedPanel, m_InsertPanel, m_WrapInfoPanel,
                          m_LineBreakPanel, m_CharSetPanel})
        statusBar()->addWidget(label);
    m_ProgressMeter = new TProgressMeter(m_WrapInfoPanel);
    m_ProgressMeter->hide();
    statusBar()->setSizeGripEnabled(true);
}

void TQuorvel::ShowHint(const QString& hint) {
    m_Hint = hint;
    if (m_ProgressMeter->isHidden()) m_StatusPanel->setText(hint);
}

void TQuorvel::BindEditor(TMailEditor& editor) {
    editor.OnStateChange = [this](TLinesViewer& sender) { StateChanged(sender); };
    editor.OnProgressEvent = [this](TLinesViewer& sender, TTextPos done, TTextPos total, bool& cancel) {
        Progress(sender, done, total, cancel);
    };
    editor.OnAbortRequest = [](TLinesViewer&, TModalResult& response) {
        response = MessageDlg("Abandon Operation?", TMsgDlgType::mtConfirmation, TMsgButtons::mbYesNo);
    };
    editor.OnCaretMoved = [this](TLinesViewer& sender) { CaretMoved(sender); };
    editor.OnWrapModeChange = [this](TTextViewer& sender) { WrapModeChanged(sender); };
    editor.OnKeyDown = [this](TLinesViewer& sender, int& key, Qt::KeyboardModifiers shift) {
        KeyDown(sender, key, shift);
    };
    editor.OnReplaceAll = [this](TBigEditor&, TTextPos count) { ReplacedAll(count); };
    editor.OnStartDecode = [this](TUUDecoder&, std::string& fileName, bool& cancel) {
        StartDecode(fileName, cancel);
    };
    editor.OnEndDecode = [this](TUUDecoder&, TUdStates state, TUUErrors error, const std::string& fileName) {
        EndDecode(state, error, fileName);
    };
    editor.OnDecodeRefused = [](TUUDecoder&, const std::string& message) {
        MessageDlg(message, TMsgDlgType::mtError, TMsgButtons::mbOK);
    };
    TDocumentFile& document = editor.Document();
    document.OnSaveModePrompt = [this, &editor](TDocumentFile&, TSaveMode& mode) {
        SaveModePrompt(editor, mode);
    };
    document.OnSaveNewFile = [this, &editor](TDocumentFile&) { SaveNewFile(editor); };
    document.OnSaveModified = [this](TDocumentFile& sender, TModalResult& answer) {
        SaveModified(sender, answer);
    };
    document.OnNewFileName = [this, &editor](TDocumentFile&) { FileNameChanged(editor); };
    // A page that shows another document, or none, loses the bookmarks of the text it showed.
    document.OnClear = [this, &editor, clear = document.OnClear] {
        m_Bookmarks.DropEditor(editor);
        clear();
    };
    document.OnQuestion = [](TDocumentFile&, TDocumentQuestion question, const std::string& message,
                             TModalResult& answer) {
        const bool readOnly = question == TDocumentQuestion::dqReadOnly;
        answer = MessageDlg(message, readOnly ? TMsgDlgType::mtInformation : TMsgDlgType::mtWarning,
                            question == TDocumentQuestion::dqNoBackup ? TMsgButtons::mbYesNo
                                                                      : TMsgButtons::mbYesNoCancel);
    };
}

void TQuorvel::StateChanged(TLinesViewer& sender) {
    const unsigned state = &sender == CurrentEditor() ? sender.State() : 0;
    if (state == LastEditorState) return;
    const bool busy = state & sfBusy, wasBusy = LastEditorState & sfBusy;
    if (busy && !wasBusy && (state & sfPrinting) && m_PrintStatus) {
        m_PrintStatus->show();
    } else if (busy && !wasBusy && !(state & sfPrinting) && m_ProgressMeter->isHidden()) {
        m_ProgressMeter->SetPosition(0);
        m_ProgressMeter->setGeometry(m_WrapInfoPanel->contentsRect());
        m_ProgressMeter->show();
        m_ProgressMeter->repaint();
        m_StatusPanel->setText("ESC to Cancel");
    } else if (!busy && wasBusy) {
        if (!m_ProgressMeter->isHidden()) {
            m_ProgressMeter->hide();
            m_StatusPanel->setText(m_Hint);
        }
        if (m_PrintStatus) m_PrintStatus->hide();
    }
    LastEditorState = state;
    UpdateCommandStates();
}

void TQuorvel::Progress(TLinesViewer& sender, TTextPos done, TTextPos total, bool& cancel) {
    cancel = false;
    if ((sender.State() & sfPrinting) && m_PrintStatus) {
        m_PrintStatus->SetStatus(done, total);
        cancel = m_PrintStatus->Cancelled();
    } else if (total > 0) {
        m_ProgressMeter->SetPosition(static_cast<int>(done * 100 / total));
    }
}

void TQuorvel::CaretMoved(TLinesViewer& sender) {
    if (&sender != CurrentEditor()) return;
    UpdateCommandStates(); // a selection may have changed its kind without a state change
    // Right of a line's end the column counts the spaces that typing there fills in.
    const auto column = static_cast<long long>(CurrentEditor()->CaretColumn());
    if (sender.State() & sfEmpty)
        m_PositionPanel->clear();
    else if (CurrentEditor()->Estimated())
        m_PositionPanel->setText(QString::asprintf("Ln ??? Ch %lld Pg ?\?/??", column));
    else
        m_PositionPanel->setText(QString::asprintf(
            "Ln %lld Ch %lld Pg %lld/%lld", static_cast<long long>(sender.DisplayedLineNumber() + 1), column,
            static_cast<long long>(sender.CaretPage()), static_cast<long long>(sender.PageCount())));
}

void TQuorvel::WrapModeChanged(TTextViewer& sender) {
    if (&sender != CurrentEditor()) return;
    switch (sender.WrapMode()) {
    case TWrapModes::opNone:
        m_WrapInfoPanel->setText("Wrap on Line Breaks");
        break;
    case TWrapModes::opWrapScreenWidth:
        m_WrapInfoPanel->setText("Wrap on Window boundaries");
        break;
    case TWrapModes::opAbsoluteWrap:
        m_WrapInfoPanel->setText(QString::asprintf("%lld Characters Max. Line Length",
                                                   static_cast<long long>(sender.MaxLineLength())));
        break;
    case TWrapModes::opPrinter:
        m_WrapInfoPanel->setText("Wrap on Printer Page Width");
        break;
    }
    m_WrapButtons.at(static_cast<size_t>(sender.WrapMode()))->setChecked(true);
}

void TQuorvel::KeyDown(TLinesViewer&, int& key, Qt::KeyboardModifiers shift) {
    // Ctrl+Tab and Ctrl+Shift+Tab go round the pages.
    if ((key != Qt::Key_Tab && key != Qt::Key_Backtab) || !(shift & Qt::ControlModifier) || PageCount() < 2)
        return;
    const int step = key == Qt::Key_Backtab || (shift & Qt::ShiftModifier) ? -1 : 1;
    SelectPage((PageIndex() + step + PageCount()) % PageCount());
    key = 0;
}

void TQuorvel::SaveModePrompt(TMailEditor& editor, TSaveMode& mode) {
    if (ForceLineBreaks) {
        mode = TSaveMode::smLineBreaks;
    } else if (editor.WrapMode() == TWrapModes::opNone) {
        mode = TSaveMode::smParagraph;
    } else if (mode == TSaveMode::smPrompt) {
        mode = MessageDlg("Convert soft Line Breaks to hard Line Breaks?", TMsgDlgType::mtConfirmation,
                          TMsgButtons::mbYesNo) == TModalResult::mrYes
                   ? TSaveMode::smLineBreaks
                   : TSaveMode::smParagraph;
    }
}

void TQuorvel::SaveModified(TDocumentFile& document, TModalResult& answer) {
    if (!OverwritePrompt) {
        answer = TModalResult::mrYes;
        return;
    }
    const fs::path* newName = nullptr;
    for (TFileEditor* editor : m_Pages)
        if (&editor->Document() == &document) newName = NewFileName(*editor);
    const fs::path& fileName = newName ? *newName : document.FileName();
    const std::string name = fileName.empty() ? "<untitled>" : fileName.filename().string();
    answer = MessageDlg(name + " has changed. Save File?", TMsgDlgType::mtConfirmation,
                        TMsgButtons::mbYesNoCancel);
    CancelClose = answer == TModalResult::mrCancel;
}

void TQuorvel::UpdateCommandStates() {
    const TMailEditor& editor = *CurrentEditor();
    const unsigned state = editor.State();
    const bool hasText = !(state & sfEmpty), modified = state & sfModified, selection = state & sfSelection;
    auto enable = [](const std::vector<QAction*>& commands, bool on) {
        for (QAction* command : commands)
            command->setEnabled(on);
    };
    enable(m_Enabled.Text, hasText);
    enable(m_Enabled.Selection, selection);
    enable(m_Enabled.Clipboard, state & sfClipboardText);
    enable(m_Enabled.Modified, modified);
    enable(m_Enabled.Column, selection && editor.SelMode() == TSelModes::smColumn);
    m_Enabled.FindAgain->setEnabled(hasText && !LastFindText.empty());
    m_Enabled.Undo->setEnabled(state & sfCanUndo);
    m_Enabled.Redo->setEnabled(state & sfCanRedo);
    m_Enabled.Revert->setEnabled(modified && !editor.FileName().empty());
    m_Enabled.PropertiesButton->setEnabled(!editor.FileName().empty());
    m_Enabled.LastBookmark->setEnabled(m_Bookmarks.HasLastBookmark());
    m_ModifiedPanel->setText(modified ? "Modified" : "");
    UpdateCaption();
    m_InsertPanel->setText(state & sfInsert ? "Insert" : "Overwrite");
    // The kind is found whenever a file is bound: on opening and on the reopening after a save.
    m_LineBreakPanel->setText(editor.Text().LineBreak() == TLineBreak::brCRLF ? "CR LF" : "LF");
    const bool utf8 = editor.Text().CharSet() == TCharSets::csUtf8;
    m_CharSetPanel->setText(utf8 ? "UTF-8" : "Windows-1252");
    m_Enabled.Utf8->setChecked(utf8);
}
