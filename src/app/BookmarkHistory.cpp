#include "app/BookmarkHistory.h"

QStringList TBookmarkHistory::Names() const {
    QStringList names;
    for (const auto& entry : m_Entries)
        names << entry.first;
    return names;
}

int TBookmarkHistory::IndexOf(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (Name(i) == name) return i;
    return -1;
}

int TBookmarkHistory::Add(const QString& name, TTextViewer& editor) {
    m_Entries.emplace_back(name, std::make_unique<TEditorBookmark>(editor));
    m_LastBookmark = Count() - 1;
    return m_LastBookmark;
}

void TBookmarkHistory::Delete(int index) {
    m_Entries.erase(m_Entries.begin() + index);
    // The last bookmark keeps pointing at the entry added last; with that one gone there is none.
    if (index < m_LastBookmark)
        --m_LastBookmark;
    else if (index == m_LastBookmark)
        m_LastBookmark = Count();
}

void TBookmarkHistory::DropEditor(const TTextViewer& editor) {
    for (int i = Count() - 1; i >= 0; --i)
        if (&Bookmark(i).Editor() == &editor) Delete(i);
}
