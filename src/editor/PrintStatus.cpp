#include "editor/PrintStatus.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/LinesViewer.h"

TPrintStatus::TPrintStatus(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Print Status");
    // The window reports on the job, the main window keeps the keyboard: Esc there asks whether to
    // abandon the job, a click here cancels it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    TLinesViewer::TakeInputWhileBusy(*this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel("Printing", this), 0, Qt::AlignHCenter);
    m_Status = new QLabel("Page No. 00 of 00", this);
    layout->addWidget(m_Status, 0, Qt::AlignHCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText("Cancel");
    connect(buttons, &QDialogButtonBox::rejected, this, &TPrintStatus::reject);
    layout->addWidget(buttons, 0, Qt::AlignHCenter);
    setMinimumWidth(220);
}

void TPrintStatus::SetStatus(TTextPos page, TTextPos total) {
    m_Status->setText(
        QString::asprintf("Page %lld of %lld", static_cast<long long>(page), static_cast<long long>(total)));
}

QString TPrintStatus::StatusText() const {
    return m_Status->text();
}

void TPrintStatus::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    m_Cancelled = false;
}
