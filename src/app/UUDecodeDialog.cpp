#include "app/UUDecodeDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/HelpTopics.h"

TUUDecodeDialog::TUUDecodeDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("UUDecode File");
    auto* layout = new QVBoxLayout(this);
    m_Message = new QLabel(this);
    layout->addWidget(m_Message);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton("&Save", QDialogButtonBox::AcceptRole);
    buttons->addButton("&Ignore", QDialogButtonBox::RejectRole);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    save->setDefault(true);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htDecode); });
    AddHelpKey(this, THelpTopic::htDecode);
}

bool TUUDecodeDialog::Ask(const QString& fileName) {
    m_Message->setText("uuencoding of " + fileName + " detected");
    return exec() == QDialog::Accepted;
}
