#include "app/SimpleCombo.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

TSimpleCombo::TSimpleCombo(const QString& caption, QWidget* parent) : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    auto* label = new QLabel(caption, this);
    m_Edit = new QLineEdit(this);
    m_List = new QListWidget(this);
    m_List->setSortingEnabled(true);
    label->setBuddy(m_Edit);
    column->addWidget(label);
    column->addWidget(m_Edit);
    column->addWidget(m_List, 1);
    connect(m_Edit, &QLineEdit::textEdited, this, &TSimpleCombo::Changed);
    connect(m_List, &QListWidget::itemSelectionChanged, this, [this] {
        if (HasSelection()) m_Edit->setText(Selected());
        emit Changed();
    });
}

QString TSimpleCombo::Text() const {
    return m_Edit->text();
}

void TSimpleCombo::SetText(const QString& text) {
    m_Edit->setText(text);
    m_Edit->selectAll();
}

bool TSimpleCombo::HasSelection() const {
    return !m_List->selectedItems().isEmpty();
}

QString TSimpleCombo::Selected() const {
    return HasSelection() ? m_List->selectedItems().front()->text() : QString();
}

void TSimpleCombo::SetItems(const QStringList& items) {
    m_List->clear();
    m_List->addItems(items);
}

void TSimpleCombo::AddItem(const QString& text) {
    auto* item = new QListWidgetItem(text);
    m_List->addItem(item);
    m_List->setCurrentItem(item);
}

void TSimpleCombo::RemoveSelected() {
    if (HasSelection()) delete m_List->takeItem(m_List->row(m_List->selectedItems().front()));
}

void TSimpleCombo::ClearSelection() {
    m_List->clearSelection();
    m_List->setCurrentItem(nullptr);
}

QStringList TSimpleCombo::Items() const {
    QStringList items;
    for (int i = 0; i < m_List->count(); ++i)
        items << m_List->item(i)->text();
    return items;
}
