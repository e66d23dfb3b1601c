#pragma once

#include <memory>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "app/EditorBookmark.h"

// The named bookmarks of every page, in the order they were added. Names may repeat; a lookup finds
// the first. LastBookmark indexes the one added last, or equals Count() when that one is gone. Every
// entry's editor is alive: the owner drops a page's entries before its text goes.
class TBookmarkHistory {
public:
    int Count() const { return static_cast<int>(m_Entries.size()); }
    const QString& Name(int index) const { return m_Entries.at(static_cast<size_t>(index)).first; }
    const TEditorBookmark& Bookmark(int index) const {
        return *m_Entries.at(static_cast<size_t>(index)).second;
    }
    QStringList Names() const;
    // The first entry named `name`, or -1.
    int IndexOf(const QString& name) const;

    // A bookmark at the editor's caret, added last under `name`; answers its index.
    int Add(const QString& name, TTextViewer& editor);
    void Delete(int index);
    // Drops every entry of `editor` (its page closes or its text is replaced).
    void DropEditor(const TTextViewer& editor);

    int LastBookmark() const { return m_LastBookmark; }
    bool HasLastBookmark() const { return m_LastBookmark < Count(); }

private:
    std::vector<std::pair<QString, std::unique_ptr<TEditorBookmark>>> m_Entries;
    int m_LastBookmark = 0;
};
