#include "app/FileList.h"

#include <algorithm>

#include <QAction>
#include <QMenu>

#include "text/MessageBox.h"

namespace fs = std::filesystem;

namespace {

// The first `count` characters of a text, never half of a surrogate pair.
QString Head(const QString& text, qsizetype count) {
    if (count > 0 && count < text.size() && text.at(count - 1).isHighSurrogate()) --count;
    return text.left(count);
}

} // namespace

QString ShortenedName(const fs::path& name, int width) {
    const QString file = QString::fromStdString(name.filename().string());
    QString folder = QString::fromStdString(name.parent_path().string());
    if (!folder.isEmpty() && !folder.endsWith('/')) folder += '/';
    if (width < file.size()) return Head(file, std::max(0, width - 3)) + "...";
    if (width >= folder.size() + file.size()) return folder + file;
    if (width < file.size() + 7) return file;
    // Folders go from the end until the caption, "/.../" included, fits.
    folder.chop(1);
    while (!folder.isEmpty() && folder.size() + 5 + file.size() > width)
        folder.truncate(std::max<qsizetype>(0, folder.lastIndexOf('/')));
    return folder + "/.../" + file;
}

TFileList::TFileList(QObject* owner) : QObject(owner), m_SeparatorItem(new QAction(this)) {
    m_SeparatorItem->setSeparator(true);
}

const fs::path& TFileList::Entry(int index) const {
    if (index < 0 || index >= Count()) throw ERangeError("File list index out of bounds");
    return m_Entries[static_cast<size_t>(index)].first;
}

void TFileList::AddFile(const fs::path& name) {
    const std::string& text = name.native();
    if (text.empty() || text.find_first_of("\r\n") != std::string::npos) return;
    const auto found =
        std::find_if(m_Entries.begin(), m_Entries.end(), [&](auto& e) { return e.first == name; });
    if (found == m_Entries.begin() && found != m_Entries.end()) return;
    if (found != m_Entries.end()) {
        // The item moves to the top with its name.
        std::rotate(m_Entries.begin(), found, found + 1);
    } else {
        if (m_MaxFilesOnList <= 0) return;
        if (Count() >= m_MaxFilesOnList) Truncate(static_cast<size_t>(m_MaxFilesOnList) - 1);
        auto* item = new QAction(this);
        connect(item, &QAction::triggered, this, [this, item] { Guarded([&] { Clicked(item); }); });
        m_Entries.insert(m_Entries.begin(), {name, item});
    }
    Rebuild();
}

void TFileList::RemoveFile(const fs::path& name) {
    const auto found =
        std::find_if(m_Entries.begin(), m_Entries.end(), [&](auto& e) { return e.first == name; });
    if (found == m_Entries.end()) return;
    if (m_Menu) m_Menu->removeAction(found->second);
    found->second->deleteLater(); // it may be the item whose click led here
    m_Entries.erase(found);
    Rebuild();
}

void TFileList::Truncate(size_t count) {
    while (m_Entries.size() > count) {
        if (m_Menu) m_Menu->removeAction(m_Entries.back().second);
        m_Entries.back().second->deleteLater();
        m_Entries.pop_back();
    }
}

void TFileList::SetMaxFilesOnList(int count) {
    m_MaxFilesOnList = std::max(0, count);
    Truncate(static_cast<size_t>(m_MaxFilesOnList));
    Rebuild();
}

void TFileList::SetMenu(QMenu* menu, QAction* after) {
    if (m_Menu) {
        m_Menu->removeAction(m_SeparatorItem);
        for (const auto& entry : m_Entries)
            m_Menu->removeAction(entry.second);
    }
    m_Menu = menu;
    m_After = after;
    Rebuild();
}

void TFileList::SetSeparator(bool on) {
    m_Separator = on;
    Rebuild();
}

void TFileList::Rebuild() {
    for (size_t i = 0; i < m_Entries.size(); ++i) {
        const QString shown = ShortenedName(m_Entries[i].first, MaxTextWidth).replace('&', "&&");
        m_Entries[i].second->setText(QString("&%1. %2").arg(i + 1).arg(shown));
    }
    if (!m_Menu) return;
    m_Menu->removeAction(m_SeparatorItem);
    for (const auto& entry : m_Entries)
        m_Menu->removeAction(entry.second);
    const QList<QAction*> items = m_Menu->actions();
    const qsizetype at = items.indexOf(m_After);
    QAction* before = at >= 0 && at + 1 < items.size() ? items[at + 1] : nullptr;
    // A separator with no entries under it would only look broken.
    if (m_Separator && !m_Entries.empty()) m_Menu->insertAction(before, m_SeparatorItem);
    for (const auto& entry : m_Entries)
        m_Menu->insertAction(before, entry.second);
}

void TFileList::LoadFromStore(const TQVIniFile& store) {
    if (!store.ValueExists(SectionName, "FileListCount")) return;
    const int limit = store.ReadInteger(SectionName, "MaxFilesOnList", -1);
    if (limit >= 0) SetMaxFilesOnList(limit);
    const int count = std::min(store.ReadInteger(SectionName, "FileListCount", 0), TQVIniFile::MaxListCount);
    for (int i = count; i >= 1; --i)
        AddFile(store.ReadString(SectionName, "FileList" + std::to_string(i), {}));
}

void TFileList::SaveToStore(TQVIniFile& store) const {
    store.WriteInteger(SectionName, "FileListCount", Count());
    for (int i = 0; i < Count(); ++i)
        store.WriteString(SectionName, "FileList" + std::to_string(i + 1), Entry(i).native());
    store.WriteInteger(SectionName, "MaxFilesOnList", m_MaxFilesOnList);
}

void TFileList::Clicked(QAction* item) {
    const auto found =
        std::find_if(m_Entries.begin(), m_Entries.end(), [&](auto& e) { return e.second == item; });
    if (found == m_Entries.end()) throw Exception("Could not locate file list entry");
    if (OnOpenFile) OnOpenFile(*this, fs::path(found->first));
}
