#pragma once

#include <functional>

#include <QDialog>

#include "app/BookmarkHistory.h"

class QPushButton;
class TSimpleCombo;

// Names the caret's place in the current page and adds it to the bookmark history, or deletes named
// bookmarks. It stays open beside the text. Each time it becomes active it proposes the name
// "Bookmark" followed by the number of bookmarks it has added so far.
class TAddBookmarkDialog : public QDialog {
    Q_OBJECT
public:
    TAddBookmarkDialog(QWidget* parent, TBookmarkHistory& history,
                       std::function<TTextViewer*()> currentEditor);

    TSimpleCombo* Bookmarks() const { return m_Bookmarks; }
    // Told after each bookmark added or deleted.
    std::function<void()> OnChanged;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateButtons();
    void Add();
    void Delete();
    void Ok();
    // Close takes Cancel's place once something was added or deleted.
    void ShowClose(bool close);

    TBookmarkHistory& m_History;
    std::function<TTextViewer*()> m_CurrentEditor;
    TSimpleCombo* m_Bookmarks;
    QPushButton* m_Add;
    QPushButton* m_Delete;
    QPushButton* m_Cancel;
    QPushButton* m_Close;
    int m_Counter = 0;
};
