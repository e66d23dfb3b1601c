#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <QObject>
#include <QString>

#include "app/QVIniFile.h"

class QAction;
class QMenu;

// The names of the documents used most recently, newest first, shown as numbered items of a menu
// after a given item, and kept in a section of the settings store. Names are compared exactly: on
// this system two spellings are two files, and callers give canonical paths.
class TFileList : public QObject {
    Q_OBJECT
public:
    explicit TFileList(QObject* owner = nullptr);

    // Puts a name at the top; an empty one, or one holding a line break, is passed over.
    void AddFile(const std::filesystem::path& name);
    void RemoveFile(const std::filesystem::path& name);
    int Count() const { return static_cast<int>(m_Entries.size()); }
    // "File list index out of bounds" for an index outside the list.
    const std::filesystem::path& Entry(int index) const;
    QAction* Item(int index) const { return m_Entries.at(static_cast<size_t>(index)).second; }

    // The list shows in `menu` right after `after`.
    void SetMenu(QMenu* menu, QAction* after);
    bool Separator() const { return m_Separator; }
    void SetSeparator(bool on);
    int MaxFilesOnList() const { return m_MaxFilesOnList; }
    // Entries beyond the new length go at once.
    void SetMaxFilesOnList(int count);
    int MaxTextWidth = 30;
    std::string SectionName = "File History";

    void LoadFromStore(const TQVIniFile& store);
    void SaveToStore(TQVIniFile& store) const;

    // An item was chosen: OnOpenFile gets its name. An item that is not an entry raises "Could not
    // locate file list entry".
    void Clicked(QAction* item);
    std::function<void(TFileList& sender, const std::filesystem::path& name)> OnOpenFile;

private:
    void Rebuild();
    void Truncate(size_t count);

    std::vector<std::pair<std::filesystem::path, QAction*>> m_Entries;
    QMenu* m_Menu = nullptr;
    QAction* m_After = nullptr;
    QAction* m_SeparatorItem;
    bool m_Separator = true;
    int m_MaxFilesOnList = 4;
};

// A name as a menu shows it in at most `width` characters: the whole path when it fits, else the
// path's first folders, "/.../" and the file's name, else the file's name, cut with "..." when even
// that is too long.
QString ShortenedName(const std::filesystem::path& name, int width);
