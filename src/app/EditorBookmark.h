#pragma once

#include "editor/TextViewer.h"

// A position in one page's text, held as a bookmark of that page's text model so that it follows the
// edits before it. It is made at the editor's caret, and the text model forgets it when this goes.
class TEditorBookmark {
public:
    explicit TEditorBookmark(TTextViewer& editor);
    ~TEditorBookmark();
    TEditorBookmark(const TEditorBookmark&) = delete;
    TEditorBookmark& operator=(const TEditorBookmark&) = delete;

    TTextViewer& Editor() const { return m_Editor; }
    int Handle() const { return m_Handle; }
    // Where the bookmark stands now; -1 once the text model was cleared.
    TTextPos Position() const;
    // Puts the editor's caret on the bookmark; showing the editor's page is the caller's part.
    void GoTo() const { m_Editor.GoToBookmark(m_Handle); }

private:
    TTextViewer& m_Editor;
    int m_Handle;
};
