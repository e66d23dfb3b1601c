#include "app/ReformatDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>

TReformatDialog::TReformatDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Reformat Quoted Text");
    auto* form = new QFormLayout(this);
    m_Existing = new QLineEdit(this);
    m_ReplaceWith = new QLineEdit(this);
    form->addRow("&Existing Mail Quotes", m_Existing);
    form->addRow("&Replace with", m_ReplaceWith);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}
