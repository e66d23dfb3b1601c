#include "app/AddBookmarkDialog.h"

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/ColumnButton.h"
#include "app/HelpTopics.h"
#include "app/SimpleCombo.h"
#include "text/MessageBox.h"

TAddBookmarkDialog::TAddBookmarkDialog(QWidget* parent, TBookmarkHistory& history,
                                       std::function<TTextViewer*()> currentEditor)
    : QDialog(parent), m_History(history), m_CurrentEditor(std::move(currentEditor)) {
    setWindowTitle("Add Bookmark");
    auto* grid = new QGridLayout(this);
    m_Bookmarks = new TSimpleCombo("&Bookmarks", this);
    grid->addWidget(m_Bookmarks, 0, 0, 6, 1);
    QPushButton* ok = ColumnButton(grid, "O&K", 0);
    m_Add = ColumnButton(grid, "&Add", 1);
    m_Delete = ColumnButton(grid, "&Delete", 2);
    QPushButton* help = ColumnButton(grid, "&Help", 3);
    m_Cancel = ColumnButton(grid, "&Cancel", 4);
    m_Close = ColumnButton(grid, "&Close", 4);
    grid->setRowStretch(5, 1);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { Guarded([this] { Ok(); }); });
    connect(m_Add, &QPushButton::clicked, this, [this] { Guarded([this] { Add(); }); });
    connect(m_Delete, &QPushButton::clicked, this, [this] { Guarded([this] { Delete(); }); });
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htAddBookmark); });
    connect(m_Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_Bookmarks, &TSimpleCombo::Changed, this, &TAddBookmarkDialog::UpdateButtons);
    AddHelpKey(this, THelpTopic::htAddBookmark);
    ShowClose(false);
}

void TAddBookmarkDialog::showEvent(QShowEvent* event) {
    ShowClose(false);
    m_Bookmarks->SetItems(m_History.Names());
    m_Bookmarks->ClearSelection();
    UpdateButtons();
    QDialog::showEvent(event);
}

void TAddBookmarkDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow()) return;
    m_Bookmarks->SetText(QString("Bookmark%1").arg(m_Counter));
    m_Bookmarks->Edit()->setFocus();
    UpdateButtons();
}

void TAddBookmarkDialog::ShowClose(bool close) {
    m_Close->setVisible(close);
    m_Cancel->setVisible(!close);
}

void TAddBookmarkDialog::UpdateButtons() {
    const bool selected = m_Bookmarks->HasSelection();
    m_Delete->setEnabled(selected);
    m_Add->setEnabled(selected ? m_Bookmarks->Text() != m_Bookmarks->Selected()
                               : !m_Bookmarks->Text().isEmpty());
}

void TAddBookmarkDialog::Add() {
    TTextViewer* editor = m_CurrentEditor();
    if (!editor || !m_Add->isEnabled()) return;
    const QString name = m_Bookmarks->Text();
    m_History.Add(name, *editor);
    m_Bookmarks->AddItem(name);
    ShowClose(true);
    ++m_Counter;
    UpdateButtons();
    if (OnChanged) OnChanged();
}

void TAddBookmarkDialog::Delete() {
    if (!m_Bookmarks->HasSelection()) return;
    const int index = m_History.IndexOf(m_Bookmarks->Selected());
    if (index >= 0) m_History.Delete(index);
    m_Bookmarks->RemoveSelected();
    m_Bookmarks->Edit()->clear();
    m_Bookmarks->ClearSelection();
    ShowClose(true);
    UpdateButtons();
    if (OnChanged) OnChanged();
}

void TAddBookmarkDialog::Ok() {
    if (!m_Cancel->isHidden()) Add(); // nothing added or deleted yet: OK adds the name shown
    accept();
}
