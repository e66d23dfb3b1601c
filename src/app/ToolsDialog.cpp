#include "app/ToolsDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/ColumnButton.h"
#include "app/DefineToolDialog.h"
#include "app/HelpTopics.h"

TToolsDialog::TToolsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Compression Utilities");
    auto* grid = new QGridLayout(this);
    auto* label = new QLabel("&Compressors", this);
    m_Compressors = new QListWidget(this);
    label->setBuddy(m_Compressors);
    grid->addWidget(label, 0, 0);
    grid->addWidget(m_Compressors, 1, 0, 6, 1);
    QPushButton* ok = ColumnButton(grid, "O&K", 1);
    QPushButton* cancel = ColumnButton(grid, "Cancel", 2);
    QPushButton* add = ColumnButton(grid, "&Add", 3);
    m_Edit = ColumnButton(grid, "&Edit", 4);
    m_Delete = ColumnButton(grid, "&Delete", 5);
    QPushButton* help = ColumnButton(grid, "&Help", 6);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(add, &QPushButton::clicked, this, &TToolsDialog::Add);
    connect(m_Edit, &QPushButton::clicked, this, &TToolsDialog::EditSelected);
    connect(m_Delete, &QPushButton::clicked, this, &TToolsDialog::DeleteSelected);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htTools); });
    AddHelpKey(this, THelpTopic::htTools);
    connect(m_Compressors, &QListWidget::itemSelectionChanged, this, &TToolsDialog::UpdateButtons);
    connect(m_Compressors, &QListWidget::itemDoubleClicked, this, &TToolsDialog::EditSelected);
}

bool TToolsDialog::Edit(TCompressUtilityList& tools) {
    m_Working = tools;
    Fill(-1);
    if (exec() != QDialog::Accepted) return false;
    tools = m_Working;
    return true;
}

void TToolsDialog::Fill(int current) {
    m_Compressors->clear();
    for (int i = 0; i < m_Working.Count(); ++i)
        m_Compressors->addItem(QString::fromStdString(m_Working.Name(i)));
    m_Compressors->setCurrentRow(current);
    UpdateButtons();
}

void TToolsDialog::UpdateButtons() {
    const bool selected = !m_Compressors->selectedItems().isEmpty();
    m_Edit->setEnabled(selected);
    m_Delete->setEnabled(selected);
}

void TToolsDialog::Add() {
    if (!m_Define) m_Define = new TDefineToolDialog(this);
    for (QLineEdit* field : {m_Define->Name(), m_Define->CommandLine(), m_Define->Extension()})
        field->clear();
    if (m_Define->exec() != QDialog::Accepted) return;
    Fill(m_Working.AddUtility(m_Define->Name()->text().toStdString(),
                              m_Define->Extension()->text().toStdString(),
                              m_Define->CommandLine()->text().toStdString()));
}

void TToolsDialog::EditSelected() {
    const int index = m_Compressors->currentRow();
    if (index < 0 || m_Compressors->selectedItems().isEmpty()) return;
    if (!m_Define) m_Define = new TDefineToolDialog(this);
    m_Define->Name()->setText(QString::fromStdString(m_Working.Name(index)));
    m_Define->CommandLine()->setText(QString::fromStdString(m_Working.CommandLine(index)));
    m_Define->Extension()->setText(QString::fromStdString(m_Working.Extension(index)));
    if (m_Define->exec() != QDialog::Accepted) return;
    m_Working.Delete(index);
    Fill(m_Working.AddUtility(m_Define->Name()->text().toStdString(),
                              m_Define->Extension()->text().toStdString(),
                              m_Define->CommandLine()->text().toStdString()));
}

void TToolsDialog::DeleteSelected() {
    const int index = m_Compressors->currentRow();
    if (index < 0 || m_Compressors->selectedItems().isEmpty()) return;
    m_Working.Delete(index);
    Fill(-1);
}
