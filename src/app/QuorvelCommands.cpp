// The main window's search, edit, format and help commands that need more than the editor.

#include <QApplication>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>

#include "app/FindDialog.h"
#include "app/Quorvel.h"
#include "editor/QtText.h"

namespace {

void NotFound() {
    MessageDlg("Text not found", TMsgDlgType::mtError, TMsgButtons::mbOK);
}

void ShowBeside(QWidget& dialog) {
    dialog.show();
    dialog.raise();
    dialog.activateWindow();
}

} // namespace

QString TQuorvel::Unicode(const std::string& bytes) {
    return TextToUnicode(bytes, CurrentEditor()->Text().CharSet());
}

std::string TQuorvel::TextBytes(const QString& text) {
    return UnicodeToText(text, CurrentEditor()->Text().CharSet());
}

void TQuorvel::Find() {
    if (!m_FindDialog) {
        m_FindDialog = new TFindDialog(this, false);
        m_FindDialog->OnFind = [this] { FindNextFrom(*m_FindDialog); };
    }
    m_FindDialog->close();
    m_FindDialog->SetFindText(Unicode(CurrentEditor()->WordAtCaret()));
    ShowBeside(*m_FindDialog);
}

void TQuorvel::Replace() {
    if (!m_ReplaceDialog) {
        m_ReplaceDialog = new TFindDialog(this, true);
        m_ReplaceDialog->OnFind = [this] { FindNextFrom(*m_ReplaceDialog); };
        m_ReplaceDialog->OnReplace = [this] { ReplaceFromDialog(false); };
        m_ReplaceDialog->OnReplaceAll = [this] { ReplaceFromDialog(true); };
    }
    m_ReplaceDialog->SetFindText(Unicode(CurrentEditor()->WordAtCaret()));
    ShowBeside(*m_ReplaceDialog);
}

void TQuorvel::FindNextFrom(TFindDialog& dialog) {
    // Find Again repeats what the Find dialog holds, whichever dialog searched last.
    LastFindText = m_FindDialog ? m_FindDialog->FindText().toStdString() : std::string();
    UpdateCommandStates();
    if (!CurrentEditor()->Find(&dialog, TextBytes(dialog.FindText()), dialog.Options())) NotFound();
}

void TQuorvel::FindAgain() {
    const TFindOptions options = m_FindDialog ? m_FindDialog->Options() : frDown;
    if (!CurrentEditor()->Find(nullptr, TextBytes(QString::fromStdString(LastFindText)), options)) NotFound();
}

void TQuorvel::ReplaceFromDialog(bool all) {
    TFindDialog& dialog = *m_ReplaceDialog;
    const TFindOptions options = dialog.Options() | (all ? frReplaceAll : frReplace);
    if (!CurrentEditor()->Replace(&dialog, TextBytes(dialog.FindText()), options, TextBytes(dialog.ReplaceText())))
        NotFound();
}

void TQuorvel::ReplacedAll(TTextPos count) {
    if (count == 0) {
        NotFound();
        return;
    }
    QApplication::beep();
    MessageDlg(QString::asprintf("%lld items replaced", static_cast<long long>(count)).toStdString(),
               TMsgDlgType::mtInformation, TMsgButtons::mbOK);
}

void TQuorvel::ReplaceBlock() {
    bool ok = false;
    const QString text = QInputDialog::getText(
        this, "Replace Block", "Enter text to replace each line of the selection:", QLineEdit::Normal,
        QString::fromStdString(BlockReplaceStr), &ok);
    if (!ok) return;
    BlockReplaceStr = text.toStdString();
    CurrentEditor()->ReplaceBlock(TextBytes(text), false);
}

void TQuorvel::ToggleCharSet() {
    TMailEditor& editor = *CurrentEditor();
    const bool utf8 = editor.Text().CharSet() == TCharSets::csUtf8;
    editor.SetCharSet(utf8 ? TCharSets::csWindows1252 : TCharSets::csUtf8);
    UpdateCommandStates();
}

void TQuorvel::ToggleWrapMode() {
    TMailEditor& editor = *CurrentEditor();
    // None, window width, n characters, printer width, and round again.
    editor.SetWrapMode(static_cast<TWrapModes>((static_cast<int>(editor.WrapMode()) + 1) % 4));
}

void TQuorvel::ChooseFont() {
    TMailEditor& editor = *CurrentEditor();
    bool ok = false;
    // The dialog lists the installed families in points: it is offered the font the editor really
    // shows, which may stand in for a family the system lacks.
    QFont shown = editor.font();
    const QFontInfo info(shown);
    shown.setFamily(info.family());
    shown.setPointSizeF(info.pointSizeF());
    QFont font = QFontDialog::getFont(&ok, shown, this, "Font");
    if (!ok) return;
    // The program sizes its fonts in pixels, as the settings keep them: the font comes back as shown.
    font.setPixelSize(QFontInfo(font).pixelSize());
    editor.setFont(font);
}

void TQuorvel::About() {
    MessageDlg(QString::asprintf("Quorvel, a text editor for files of any size and for mail\nVersion %s "
                                 "(%d-bit version)",
                                 QUORVEL_VERSION, static_cast<int>(sizeof(void*) * 8))
                   .toStdString(),
               TMsgDlgType::mtInformation, TMsgButtons::mbOK);
}
