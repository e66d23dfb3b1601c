#pragma once

class QWidget;

// The topics the dialogs' Help buttons show, by the number each has in the program's help.
enum class THelpTopic { htContents = 1, htMerge = 5, htDecode = 30, htTools = 31, htDefineTool = 32 };

// Shows a topic's text in a box above `parent`.
void ShowHelp(QWidget* parent, THelpTopic topic);
