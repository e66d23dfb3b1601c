#pragma once

#include <functional>

#include <QDialog>

#include "app/BookmarkHistory.h"

class QPushButton;
class QRadioButton;
class TSimpleCombo;

// Takes the current page's caret to a page number, a line number or a named bookmark. It stays open
// beside the text; OK goes there and closes, unless Goto went already (OK then reads "Close").
class TGotoDialog : public QDialog {
    Q_OBJECT
public:
    enum TGotoKind { gkPage, gkLine, gkBookmark };

    // `goToBookmark` shows a bookmark: its page selected, the caret on it.
    TGotoDialog(QWidget* parent, const TBookmarkHistory& history, std::function<TTextViewer*()> currentEditor,
                std::function<void(const TEditorBookmark&)> goToBookmark);

    TSimpleCombo* Destination() const { return m_Destination; }
    QRadioButton* Kind(TGotoKind kind) const { return m_Kinds[kind]; }
    QPushButton* OkButton() const { return m_Ok; }
    // Goes where the destination says; failures are raised.
    void GoTo();

protected:
    void showEvent(QShowEvent* event) override;

private:
    TGotoKind Chosen() const;
    void Ok();

    const TBookmarkHistory& m_History;
    std::function<TTextViewer*()> m_CurrentEditor;
    std::function<void(const TEditorBookmark&)> m_GoToBookmark;
    QRadioButton* m_Kinds[3];
    TSimpleCombo* m_Destination;
    QPushButton* m_Ok;
};
