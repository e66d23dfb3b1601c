#include "app/EditorBookmark.h"

TEditorBookmark::TEditorBookmark(TTextViewer& editor)
    : m_Editor(editor), m_Handle(editor.TextBuffer()->AddBookmark(editor.CaretOffset())) {}

TEditorBookmark::~TEditorBookmark() {
    // A text model that was cleared has dropped every handle already.
    TLinesBuffer* text = m_Editor.TextBuffer();
    if (text && m_Handle < text->BookmarkCount()) text->DeleteBookmark(m_Handle);
}

TTextPos TEditorBookmark::Position() const {
    const TLinesBuffer* text = m_Editor.TextBuffer();
    return text ? text->GetBookmark(m_Handle) : -1;
}
