#pragma once

#include <string>
#include <vector>

#include "FixedCanvas.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"

// A document over a text laid out on a fixed canvas, saving paragraphs as they are. It keeps the
// questions it is asked and answers them with `answer` (Cancel unless told, as when no one is there),
// counts the requests for a new file name and keeps every name it was given.
struct TTestDocument {
    TTestDocument() {
        text.SetCanvas(&canvas);
        doc.SetSaveMode(TSaveMode::smParagraph);
        doc.OnQuestion = [this](TDocumentFile&, TDocumentQuestion question, const std::string& message,
                                TModalResult& a) {
            kinds.push_back(question);
            asked.push_back(message);
            a = answer;
        };
        doc.OnSaveNewFile = [this](TDocumentFile&) { ++elsewhere; };
        doc.OnNewFileName = [this](TDocumentFile& d) { names.push_back(d.FileName().string()); };
    }
    std::string Text() { return text.GetText(0, text.TextSize()); }
    // Opens `file`, puts `edit` at its start and saves it in place; the error raised, if any.
    std::string EditAndSave(const std::filesystem::path& file, const std::string& edit) {
        try {
            doc.SetFileName(file);
            text.InsertString(edit, 0);
            doc.Save(doc.FileName());
        } catch (const std::exception& e) {
            return e.what();
        }
        return {};
    }

    TFixedCanvas canvas;
    TEditStream text;
    TDocumentFile doc{text};
    TModalResult answer = TModalResult::mrCancel;
    std::vector<TDocumentQuestion> kinds;
    std::vector<std::string> asked;
    int elsewhere = 0;
    std::vector<std::string> names;
};
