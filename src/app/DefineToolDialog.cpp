#include "app/DefineToolDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/HelpTopics.h"
#include "mail/CompressUtility.h"
#include "text/MessageBox.h"

TDefineToolDialog::TDefineToolDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Define Compression  Utility");
    auto* form = new QFormLayout(this);
    m_Name = new QLineEdit(this);
    m_CommandLine = new QLineEdit(this);
    m_Extension = new QLineEdit(this);
    m_CommandLine->setMinimumWidth(280);
    form->addRow("Name", m_Name);
    form->addRow("Command Line", m_CommandLine);
    form->addRow("&Extension", m_Extension);
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton("O&K", QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &TDefineToolDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htDefineTool); });
    AddHelpKey(this, THelpTopic::htDefineTool);
}

void TDefineToolDialog::accept() {
    if (!ValidToolExtension(m_Extension->text().toStdString())) {
        MessageDlg("Extension limited to three Characters and restricted to those characters permitted for a "
                   "filename",
                   TMsgDlgType::mtError, TMsgButtons::mbOK);
        return;
    }
    QDialog::accept();
}
