#include "editor/PageSetupDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The boxes in the order they are checked, by printer metric index.
constexpr int kTop = 3, kBottom = 4, kLeft = 1, kRight = 2, kHeader = 5, kFooter = 6;
constexpr int kValidationOrder[] = {kTop, kBottom, kLeft, kRight, kHeader, kFooter};
} // namespace

TPageSetupDlg::TPageSetupDlg(QWidget* parent, TMeasureSystem system) : QDialog(parent), m_System(system) {
    setWindowTitle("Page Setup");
    auto* layout = new QVBoxLayout(this);
    auto* margins = new QGroupBox("Margins", this);
    auto* form = new QFormLayout(margins);
    const std::pair<int, const char*> rows[] = {{kTop, "&Top"},       {kBottom, "&Bottom"},
                                                {kLeft, "&Left"},     {kRight, "&Right"},
                                                {kHeader, "&Header"}, {kFooter, "&Footer"}};
    for (auto [index, caption] : rows) {
        auto* box = new QLineEdit(margins);
        m_Boxes.at(static_cast<size_t>(index - 1)) = box;
        form->addRow(caption, box); // the label's mnemonic focuses its box
    }
    layout->addWidget(margins);
    m_PageNosBox = new QCheckBox("&Print Page Numbers", this);
    m_PageNosBox->setChecked(true);
    layout->addWidget(m_PageNosBox);
    auto* title = new QLabel("&Title", this);
    m_TitleBox = new QLineEdit(this);
    title->setBuddy(m_TitleBox);
    layout->addWidget(title);
    layout->addWidget(m_TitleBox);
    auto* bevel = new QFrame(this);
    bevel->setFrameShape(QFrame::HLine);
    bevel->setFrameShadow(QFrame::Sunken);
    layout->addWidget(bevel);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText("O&K");
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    m_Help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPageSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TPageSetupDlg::reject);
    layout->addWidget(buttons);
}

float TPageSetupDlg::Length(int index) const {
    float inches = 0;
    ParseMeasurement(LengthBox(index).text().toStdString(), inches);
    return inches;
}

void TPageSetupDlg::SetLength(int index, float inches) {
    LengthBox(index).setText(QString::fromStdString(FormatMeasurement(inches, m_System)));
}

QString TPageSetupDlg::Title() const {
    return m_TitleBox->text();
}

void TPageSetupDlg::SetTitle(const QString& title) {
    m_TitleBox->setText(title);
}

bool TPageSetupDlg::PrintPageNumbers() const {
    return m_PageNosBox->isChecked();
}

void TPageSetupDlg::SetPrintPageNumbers(bool on) {
    m_PageNosBox->setChecked(on);
}

void TPageSetupDlg::accept() {
    for (int index : kValidationOrder)
        if (!ValidateMeasurement(LengthBox(index))) return;
    QDialog::accept();
}

void TPageSetupDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    LengthBox(kTop).setFocus();
    LengthBox(kTop).selectAll();
}
