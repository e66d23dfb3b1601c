#include "editor/EditorSettings.h"

#include "editor/FileEditor.h"

TEditorSettings EditorSettings(TFileEditor& editor) {
    TEditorSettings s;
    s.Font = editor.font();
    s.WrapMode = editor.WrapMode();
    s.MaxLineLength = editor.MaxLineLength();
    s.SaveMode = editor.Document().SaveMode();
    for (int index = 1; index <= 6; ++index)
        s.PrinterMetrics[static_cast<size_t>(index - 1)] = editor.GetPrinterMetric(index);
    for (int index = 0; index < editor.TabStopCount(); ++index)
        s.TabStops.push_back(editor.GetTabStop(index));
    s.MaxUndoLevels = editor.MaxUndoLevels();
    s.WPMode = editor.WPMode();
    s.ShowLineBreaks = editor.ShowLineBreaks();
    s.HorzTracking = editor.HorzScrollBar().Tracking();
    s.VertTracking = editor.VertScrollBar().Tracking();
    s.HorzClickSize = editor.HorzScrollBar().ClickSize();
    s.VertClickSize = editor.VertScrollBar().ClickSize();
    s.ShowPageBreaks = editor.ShowPageBreaks();
    s.LineNumberMode = editor.LineNumberMode();
    s.BackupFiles = editor.Document().BackupFiles();
    s.FileLocking = editor.Document().FileLocking();
    s.LeftMargin = editor.LeftMargin();
    s.RightMargin = editor.RightMargin();
    s.AutoScroll = editor.AutoScroll();
    s.SelectAfterPaste = editor.SelectAfterPaste();
    s.DoubleClickMode = editor.DoubleClickMode();
    s.TripleClick = editor.TripleClick();
    s.PagingMode = editor.PagingMode();
    for (int index = 0; index < TLinesViewer::KeyCount; ++index)
        s.Keys.push_back(editor.KeyCode(index));
    s.QuickKey = editor.QuickKey();
    s.AutoIdle = editor.AutoIdle();
    s.BeepOn = editor.BeepOn();
    s.BorderStyle = editor.Border_Style();
    s.ReadOnly = editor.ReadOnly();
    s.OEMConvert = editor.Text().OEMConvert();
    s.MaxTextSize = editor.MaxTextSize();
    s.WantTabs = editor.WantTabs();
    s.InsertOn = editor.InsertOn();
    s.DragMargin = editor.DragMargin();
    return s;
}

void ApplyEditorSettings(TFileEditor& editor, const TEditorSettings& s) {
    // Layout settings first and the font last among them: each of these lays the text out again.
    if (editor.MaxLineLength() != s.MaxLineLength) editor.SetMaxLineLength(s.MaxLineLength);
    if (editor.WrapMode() != s.WrapMode) editor.SetWrapMode(s.WrapMode);
    editor.SetTabStopCount(static_cast<int>(s.TabStops.size()));
    for (size_t index = 0; index < s.TabStops.size(); ++index)
        editor.SetTabStop(static_cast<int>(index), s.TabStops[index]);
    if (editor.font() != s.Font) editor.setFont(s.Font);
    for (int index = 1; index <= 6; ++index)
        if (editor.GetPrinterMetric(index) != s.PrinterMetrics[static_cast<size_t>(index - 1)])
            editor.SetPrinterMetric(index, s.PrinterMetrics[static_cast<size_t>(index - 1)]);
    editor.Document().SetSaveMode(s.SaveMode);
    editor.SetSaveMode(s.SaveMode);
    editor.SetMaxUndoLevels(s.MaxUndoLevels);
    editor.SetWPMode(s.WPMode);
    editor.SetShowLineBreaks(s.ShowLineBreaks);
    editor.HorzScrollBar().SetTracking(s.HorzTracking);
    editor.VertScrollBar().SetTracking(s.VertTracking);
    editor.HorzScrollBar().SetClickSize(s.HorzClickSize);
    editor.VertScrollBar().SetClickSize(s.VertClickSize);
    editor.SetShowPageBreaks(s.ShowPageBreaks);
    editor.SetLineNumberMode(s.LineNumberMode);
    editor.Document().SetBackupFiles(s.BackupFiles);
    editor.Document().SetFileLocking(s.FileLocking);
    editor.SetLeftMargin(s.LeftMargin);
    editor.SetRightMargin(s.RightMargin);
    editor.SetAutoScroll(s.AutoScroll);
    editor.SetSelectAfterPaste(s.SelectAfterPaste);
    editor.SetDoubleClickMode(s.DoubleClickMode);
    editor.SetTripleClick(s.TripleClick);
    editor.SetPagingMode(s.PagingMode);
    // Keys that change are unbound first: a key moving to another index must not lose its new binding
    // when the index it leaves is set.
    std::vector<int> changed;
    for (size_t index = 0; index < s.Keys.size(); ++index)
        if (editor.KeyCode(static_cast<int>(index)) != s.Keys[index])
            changed.push_back(static_cast<int>(index));
    for (int index : changed)
        editor.SetKeyCode(index, 0);
    for (int index : changed)
        editor.SetKeyCode(index, s.Keys[static_cast<size_t>(index)]);
    editor.SetQuickKey(s.QuickKey);
    editor.SetAutoIdle(s.AutoIdle);
    editor.SetBeepOn(s.BeepOn);
    editor.SetBorder_Style(s.BorderStyle);
    editor.SetReadOnly(s.ReadOnly);
    editor.Text().SetOEMConvert(s.OEMConvert);
    editor.SetMaxTextSize(s.MaxTextSize);
    editor.SetWantTabs(s.WantTabs);
    editor.SetInsertOn(s.InsertOn);
    editor.SetDragMargin(s.DragMargin);
}
