#include "app/TabStopsDialog.h"

#include <algorithm>

#include <QGridLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/ColumnButton.h"
#include "app/HelpTopics.h"
#include "app/SimpleCombo.h"
#include "editor/Measurement.h"

TTabStopsDialog::TTabStopsDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Define Tab Stops");
    auto* grid = new QGridLayout(this);
    m_Stops = new TSimpleCombo("&Tab Stops", this);
    grid->addWidget(m_Stops, 0, 0, 7, 1);
    m_Ok = ColumnButton(grid, "OK", 0);
    QPushButton* cancel = ColumnButton(grid, "Cancel", 1);
    QPushButton* help = ColumnButton(grid, "&Help", 2);
    QPushButton* set = ColumnButton(grid, "&Set", 3);
    QPushButton* clear = ColumnButton(grid, "&Clear", 4);
    QPushButton* clearAll = ColumnButton(grid, "Clear &All", 5);
    grid->setRowStretch(6, 1);
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, &TTabStopsDialog::Ok);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htTabStops); });
    connect(set, &QPushButton::clicked, this, [this] {
        if (!AddTyped()) return;
        Changed();
        m_Stops->Edit()->setFocus();
        m_Stops->Edit()->selectAll(); // the next length typed takes its place
    });
    connect(clear, &QPushButton::clicked, this, [this] {
        if (!m_Stops->HasSelection()) return;
        m_Stops->RemoveSelected();
        m_Stops->Edit()->clear();
        Changed();
    });
    connect(clearAll, &QPushButton::clicked, this, [this] {
        m_Stops->SetItems({});
        m_Stops->Edit()->clear();
        Changed();
        m_Stops->Edit()->setFocus();
    });
    AddHelpKey(this, THelpTopic::htTabStops);
}

bool TTabStopsDialog::AddTyped() {
    if (!ValidateMeasurement(*m_Stops->Edit())) return false;
    float inches = 0;
    ParseMeasurement(m_Stops->Text().toStdString(), inches);
    const QString text = QString::fromStdString(FormatMeasurement(inches));
    if (!m_Stops->Items().contains(text)) m_Stops->AddItem(text);
    return true;
}

void TTabStopsDialog::Changed() {
    m_Ok->setText("Close");
}

void TTabStopsDialog::Ok() {
    if (!m_Stops->Text().isEmpty()) AddTyped(); // a length that is none was reported: the rest is kept
    accept();
}

bool TTabStopsDialog::Edit(std::vector<float>& stops) {
    QStringList shown;
    for (float inches : stops) {
        const QString text = QString::fromStdString(FormatMeasurement(inches));
        if (!shown.contains(text)) shown << text;
    }
    m_Stops->SetItems(shown);
    m_Stops->Edit()->clear();
    m_Ok->setText("OK");
    m_Stops->Edit()->setFocus();
    if (exec() != QDialog::Accepted) return false;
    stops.clear();
    for (const QString& text : m_Stops->Items()) {
        float inches = 0;
        if (ParseMeasurement(text.toStdString(), inches)) stops.push_back(inches);
    }
    // The list is sorted as text ("10.00" before "2.00"); the layout takes its stops from left to right.
    std::sort(stops.begin(), stops.end());
    return true;
}
