// The main window's mail commands: Flow Text, Reformat Quoted Text, Merge and its tools, and the
// answers to the decoder's events.

#include <QLineEdit>

#include "app/Quorvel.h"
#include "app/ReformatDialog.h"
#include "app/ToolsDialog.h"
#include "app/UUDecodeDialog.h"
#include "editor/QtText.h"

namespace fs = std::filesystem;

namespace {

// Without a selection the commands that rewrite text work to the end of it: the user confirms first.
bool FromHereOnwards(const TMailEditor& editor) {
    return (editor.State() & sfSelection) ||
           MessageDlg("Reformat text from this point onwards?", TMsgDlgType::mtConfirmation,
                      TMsgButtons::mbYesNo) == TModalResult::mrYes;
}

QString Masks(const std::string& masks) {
    return QString::fromStdString(masks).replace(';', ' ');
}

} // namespace

void TQuorvel::FlowText() {
    TMailEditor& editor = *CurrentEditor();
    if (FromHereOnwards(editor)) editor.FlowText();
}

void TQuorvel::ReformatQuotedText() {
    TMailEditor& editor = *CurrentEditor();
    if (!m_ReformatDialog) m_ReformatDialog = new TReformatDialog(this);
    m_ReformatDialog->ExistingQuotes()->setText(Unicode(editor.LineQuotePrefix()));
    m_ReformatDialog->ReplaceWith()->setText(Unicode(editor.MailQuote()));
    m_ReformatDialog->ExistingQuotes()->setFocus();
    if (m_ReformatDialog->exec() != QDialog::Accepted || !FromHereOnwards(editor)) return;
    editor.ReformatQuoted(TextBytes(m_ReformatDialog->ExistingQuotes()->text()),
                          TextBytes(m_ReformatDialog->ReplaceWith()->text()));
}

void TQuorvel::Tools() {
    if (!m_ToolsDialog) m_ToolsDialog = new TToolsDialog(this);
    m_ToolsDialog->Edit(CompressUtilities);
}

void TQuorvel::Merge() {
    QStringList tools;
    for (int i = 0; i < CompressUtilities.Count(); ++i)
        tools << QString::fromStdString(CompressUtilities.Name(i));
    const QString filter = "Common Text Files (" + Masks(CommonTextFileTypes) +
                           ");;Archive Files (*.zip *.lha *.arj *.zoo *.cab);;All Files (*)";
    TMergeDialog dialog(this, MergeDir, filter, QuickList, tools, DefaultUtility, MergeMode);
    if (!dialog.Run()) return;
    if (dialog.Mode() >= 0) MergeMode = dialog.Mode();
    DefaultUtility = dialog.Tool();
    MergeFiles(dialog.Files());
}

void TQuorvel::MergeFiles(const std::vector<fs::path>& files) {
    for (const fs::path& file : files) {
        MergeDir = file.parent_path();
        TMailEditor& editor = *CurrentEditor();
        switch (MergeMode) {
        case mmUUEncode:
            EncodeReport(editor.EncodeFile(file, file.string()), file);
            break;
        case mmOemToAnsi:
            editor.InsertFile(file, true);
            break;
        case mmMailQuotes:
            editor.InsertFileQuoted(file);
            break;
        case mmCompress: // no tool chosen (-1) is refused by the list
            EncodeReport(editor.CompressAndEncode(CompressUtilities.CommandLine(DefaultUtility),
                                                  CompressUtilities.Extension(DefaultUtility), file),
                         file);
            break;
        default:
            editor.InsertFile(file, false);
        }
    }
}

void TQuorvel::EncodeReport(TEncodeResult result, const fs::path& file) {
    switch (result) {
    case TEncodeResult::erEmpty:
        MessageDlg("File is Empty! - not encoded", TMsgDlgType::mtError, TMsgButtons::mbOK);
        break;
    case TEncodeResult::erCancelled:
        MessageDlg("Cancelled on user request", TMsgDlgType::mtConfirmation, TMsgButtons::mbOK);
        break;
    case TEncodeResult::erCompressFailed:
        MessageDlg("Error compressing " + file.string(), TMsgDlgType::mtError, TMsgButtons::mbOK);
        break;
    case TEncodeResult::erDone:
        break;
    }
}

void TQuorvel::StartDecode(std::string& fileName, bool& cancel) {
    cancel = false;
    if (!m_DecodeDialog) m_DecodeDialog = new TUUDecodeDialog(this);
    const QString name = Unicode(fileName);
    if (!m_DecodeDialog->Ask(name)) {
        cancel = true;
        return;
    }
    // Cancelling the choice of a name keeps the proposed one.
    const fs::path chosen = AskSaveName("Save Decoded File", name.toStdString(), false);
    if (!chosen.empty()) fileName = chosen.string();
}

void TQuorvel::EndDecode(TUdStates state, TUUErrors error, const std::string& fileName) {
    const auto report = [](const std::string& message, TMsgDlgType type) {
        MessageDlg(message, type, TMsgButtons::mbOK);
    };
    const std::string name = fileName;
    switch (state) {
    case TUdStates::SectionSummed:
        if (error != ueNone)
            report("Decode of " + name + " failed - section checksum error", TMsgDlgType::mtError);
        else
            report(name + " Decoded - No File Checksum Detected", TMsgDlgType::mtInformation);
        break;
    case TUdStates::Ended:
        report(name + " Decoded - No Checksums Detected", TMsgDlgType::mtInformation);
        break;
    case TUdStates::EndSummed:
    case TUdStates::FileSummed:
        if (error == ueNone)
            report("Successful Decode of " + name + " - file and section checksums OK",
                   TMsgDlgType::mtInformation);
        else if (error == ueSectionSum)
            report("Successful Decode of " + name +
                       " - section checksum failed, file checksum OK, so file probably OK",
                   TMsgDlgType::mtError);
        else
            report("Decode of " + name + " failed - bad file checksum", TMsgDlgType::mtError);
        break;
    case TUdStates::Cancelled:
        report("Cancelled on user request", TMsgDlgType::mtConfirmation);
        break;
    default: // no file was being decoded
        break;
    }
}
