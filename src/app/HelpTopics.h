#pragma once

#include <QString>

class QWidget;

// The pages of the program's help, by the number each topic has; the contents page lists them all.
enum class THelpTopic {
    htContents = 0,
    htEditor = 1,
    htIntroduction = 3,
    htMerge = 5,
    htFont = 7,
    htPrintSetup = 8,
    htPrint = 9,
    htFind = 10,
    htReplace = 11,
    htOpen = 12,
    htSave = 13,
    htPageSetup = 14,
    htPreferences = 15,
    htAddBookmark = 16,
    htGoto = 17,
    htTabStops = 18,
    htFileProperties = 19,
    htTabRow = 23,
    htDecode = 30,
    htTools = 31,
    htDefineTool = 32
};

// The folder of the help pages: share/quorvel/help beside the program (its build folder) or above it
// (where it is installed), unless SetHelpFolder named another.
QString HelpFolder();
void SetHelpFolder(const QString& folder);
// The file of a topic's page: index.html for the contents, topicN.html for topic N.
QString HelpPage(THelpTopic topic);

// Shows a topic's page in the help window above `parent`'s window; a page that is missing is reported.
void ShowHelp(QWidget* parent, THelpTopic topic);
// F1 anywhere in `dialog` shows `topic`.
void AddHelpKey(QWidget* dialog, THelpTopic topic);
