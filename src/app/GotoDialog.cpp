#include "app/GotoDialog.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/ColumnButton.h"
#include "app/HelpTopics.h"
#include "app/IntegerText.h"
#include "app/SimpleCombo.h"
#include "text/Exceptions.h"
#include "text/MessageBox.h"

TGotoDialog::TGotoDialog(QWidget* parent, const TBookmarkHistory& history,
                         std::function<TTextViewer*()> currentEditor,
                         std::function<void(const TEditorBookmark&)> goToBookmark)
    : QDialog(parent), m_History(history), m_CurrentEditor(std::move(currentEditor)),
      m_GoToBookmark(std::move(goToBookmark)) {
    setWindowTitle("Goto");
    auto* kinds = new QGroupBox("Go&to", this);
    auto* kindColumn = new QVBoxLayout(kinds);
    m_Kinds[gkPage] = new QRadioButton("&Page Number", kinds);
    m_Kinds[gkLine] = new QRadioButton("&Line Number", kinds);
    m_Kinds[gkBookmark] = new QRadioButton("&Bookmark", kinds);
    for (QRadioButton* kind : m_Kinds)
        kindColumn->addWidget(kind);
    m_Kinds[gkLine]->setChecked(true);
    m_Destination = new TSimpleCombo("&Destination", this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(kinds, 0, 0);
    grid->addWidget(m_Destination, 1, 0, 4, 1);
    m_Ok = ColumnButton(grid, "O&K", 1);
    QPushButton* go = ColumnButton(grid, "&Goto", 2);
    QPushButton* cancel = ColumnButton(grid, "Cancel", 3);
    QPushButton* help = ColumnButton(grid, "&Help", 4);
    grid->setRowStretch(4, 1);
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, [this] { Guarded([this] { Ok(); }); });
    connect(go, &QPushButton::clicked, this, [this] { Guarded([this] { GoTo(); }); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htGoto); });
    connect(m_Destination->List(), &QListWidget::itemDoubleClicked, this, [this] {
        Guarded([this] {
            GoTo();
            accept();
        });
    });
    AddHelpKey(this, THelpTopic::htGoto);
}

TGotoDialog::TGotoKind TGotoDialog::Chosen() const {
    for (int kind : {gkPage, gkLine, gkBookmark})
        if (m_Kinds[kind]->isChecked()) return static_cast<TGotoKind>(kind);
    return gkLine;
}

void TGotoDialog::showEvent(QShowEvent* event) {
    m_Ok->setText("O&K");
    m_Destination->SetItems(m_History.Names());
    if (const TTextViewer* editor = m_CurrentEditor()) {
        if (Chosen() == gkPage) m_Destination->SetText(QString::number(editor->CaretPage()));
        if (Chosen() == gkLine) m_Destination->SetText(QString::number(editor->DisplayedLineNumber() + 1));
    }
    m_Destination->Edit()->setFocus();
    QDialog::showEvent(event);
}

void TGotoDialog::GoTo() {
    TTextViewer* editor = m_CurrentEditor();
    if (!editor) return;
    const QString text = m_Destination->Text();
    if (Chosen() == gkBookmark) {
        const int index = m_History.IndexOf(text);
        if (index < 0) throw EUserError("Destination is not a bookmark");
        m_GoToBookmark(m_History.Bookmark(index));
    } else {
        const auto number = ParseInteger(text.toStdString());
        if (!number) throw EUserError("The destination must be a number");
        if (Chosen() == gkPage)
            editor->GoToPage(*number);
        else
            editor->GoToLine(*number);
    }
    m_Ok->setText("&Close");
}

void TGotoDialog::Ok() {
    if (m_Ok->text() == "O&K") GoTo();
    accept();
}
