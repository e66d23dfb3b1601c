#include "app/HelpTopics.h"

#include <QMessageBox>

namespace {

const char* TopicText(THelpTopic topic) {
    switch (topic) {
    case THelpTopic::htContents:
        return "Quorvel edits plain text files of any size; the menus hold every command.\n\n"
               "Besides the keys the menus show, the desktop's usual ones work: Ctrl+N new, Ctrl+W close, "
               "Ctrl+Shift+S save as, Ctrl+Shift+Z redo, Ctrl+H replace, Ctrl+Plus and Ctrl+Minus zoom. "
               "Where the editor's own keys use one (Ctrl+Q starts a two-key command, Ctrl+Y deletes a "
               "line), the editor's meaning stays.\n\n"
               "Selected text is offered to other programs at once, and a middle click pastes what another "
               "program selected, at the pointer. Files dropped on the window open in pages of their own.\n\n"
               "When another program changes, replaces or deletes an open file, a bar above its text says so "
               "and offers to reload it. Saving keeps the undo history.";
    case THelpTopic::htMerge:
        return "Merge inserts the chosen files at the caret, one after another.\n\n"
               "None: the file's bytes as they are.\n"
               "UUEncode: the file uuencoded, with its checksum lines.\n"
               "OEM to ANSI: the file converted from the DOS character set.\n"
               "Mail Quotes: each line of the file with the mail quote in front.\n"
               "Compress: the file packed by the chosen compression utility, then uuencoded.\n\n"
               "Quick Jump goes to one of the last directories files were chosen in.";
    case THelpTopic::htDecode:
        return "The text holds a uuencoded file.\n\n"
               "Save: decode it, under the name and in the directory you choose next (cancelling that "
               "choice keeps the proposed name beside the document).\n"
               "Ignore: leave this file out; the text is searched on for others.";
    case THelpTopic::htTools:
        return "The compression utilities Merge can pack files with before encoding them.\n\n"
               "Add and Edit open the definition of a utility; Delete removes the selected one. OK keeps the "
               "changes, Cancel forgets them.";
    case THelpTopic::htDefineTool:
        return "Name: how the utility is listed.\n"
               "Command Line: the command that makes an archive; &Z stands for the archive to make and &F "
               "for the file to pack.\n"
               "Extension: the archive's extension, at most three characters that a file name may hold.";
    }
    return "";
}

} // namespace

void ShowHelp(QWidget* parent, THelpTopic topic) {
    QMessageBox::information(parent, "Quorvel Help", TopicText(topic));
}
