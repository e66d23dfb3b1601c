#pragma once

#include <string>

#include <QString>

#include "editor/EditorSettings.h"

// What the Preferences dialog edits: options of the window, and editor options that every page shares.
struct TPreferences {
    std::string CommonTextFileTypes;
    int MaxFilesOnList = 6;
    bool UseSaveDir = false;
    int StartUp = 1;
    bool NewLook = true;
    QString MailQuote;
    // Of these only the options the dialog shows count; the rest stay each page's own.
    TEditorSettings Editor;
};

// Sets the options the dialog shows from `from` in `to`, leaving the others (font, tab stops, margins,
// keys) as they are.
void CopySharedOptions(const TEditorSettings& from, TEditorSettings& to);
