#include "app/Preferences.h"

void CopySharedOptions(const TEditorSettings& from, TEditorSettings& to) {
    to.MaxUndoLevels = from.MaxUndoLevels;
    to.ShowLineBreaks = from.ShowLineBreaks;
    to.HorzTracking = from.HorzTracking;
    to.VertTracking = from.VertTracking;
    to.ShowPageBreaks = from.ShowPageBreaks;
    to.LineNumberMode = from.LineNumberMode;
    to.BackupFiles = from.BackupFiles;
    to.FileLocking = from.FileLocking;
    to.AutoScroll = from.AutoScroll;
    to.SelectAfterPaste = from.SelectAfterPaste;
    to.DoubleClickMode = from.DoubleClickMode;
    to.TripleClick = from.TripleClick;
    to.PagingMode = from.PagingMode;
    to.WPMode = from.WPMode;
    to.SaveMode = from.SaveMode;
    to.MaxLineLength = from.MaxLineLength;
    to.WrapMode = from.WrapMode;
}
