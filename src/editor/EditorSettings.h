#pragma once

#include <array>
#include <vector>

#include <QFont>

#include "editor/FlickerFreeControl.h"
#include "editor/KeyManager.h"
#include "editor/LinesViewer.h"
#include "editor/TextViewer.h"

class TFileEditor;

// Every setting a page's editor carries, as one value: what a new page takes over from the current
// one, and what the settings store keeps. The defaults are the editor's own.
struct TEditorSettings {
    QFont Font;
    TWrapModes WrapMode = TWrapModes::opWrapScreenWidth;
    TTextPos MaxLineLength = 0;
    TSaveMode SaveMode = TSaveMode::smPrompt;
    // Left, right, top and bottom margin, header and footer position, in inches.
    std::array<float, 6> PrinterMetrics = {0.5f, 0.5f, 0.75f, 1.0f, 0.25f, 0.25f};
    std::vector<float> TabStops; // in inches
    int MaxUndoLevels = 10;
    bool WPMode = false;
    bool ShowLineBreaks = false;
    bool HorzTracking = true, VertTracking = true;
    TTextPos HorzClickSize = 1, VertClickSize = 1;
    TPageBreakDisplayModes ShowPageBreaks = TPageBreakDisplayModes::pbAlways;
    TLineNumberModes LineNumberMode = TLineNumberModes::lnFileRelative;
    bool BackupFiles = true;
    bool FileLocking = true;
    TTextPos LeftMargin = 0, RightMargin = 0; // in pixels
    bool AutoScroll = false;
    bool SelectAfterPaste = false;
    TDoubleClickModes DoubleClickMode = TDoubleClickModes::dcWordOnly;
    bool TripleClick = false;
    TPagingModes PagingMode = TPagingModes::pmMoveToLine;
    // Key definitions by index, and the quick key.
    std::vector<TKeyDefinition> Keys;
    TKeyDefinition QuickKey = 0;
    bool AutoIdle = false;
    bool BeepOn = true;
    TBorder_Style BorderStyle = TBorder_Style::bs_thin;
    bool ReadOnly = false;
    bool OEMConvert = false;
    TTextPos MaxTextSize = 0;
    bool WantTabs = true;
    bool InsertOn = true;
    bool DragMargin = true;

    bool operator==(const TEditorSettings&) const = default;
};

TEditorSettings EditorSettings(TFileEditor& editor);
void ApplyEditorSettings(TFileEditor& editor, const TEditorSettings& settings);
