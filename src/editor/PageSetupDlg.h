#pragma once

#include <array>

#include <QDialog>

#include "editor/Measurement.h"

class QCheckBox;
class QLineEdit;
class QPushButton;

// The page setup dialog: the four margins and the header and footer positions in the locale's unit
// (either unit may be typed), the title printed at the top of each page and whether pages are numbered.
// OK is refused, with the box at fault focused, while a length does not parse.
class TPageSetupDlg : public QDialog {
    Q_OBJECT
public:
    explicit TPageSetupDlg(QWidget* parent = nullptr, TMeasureSystem system = LocaleMeasureSystem());

    // The lengths by printer metric index (1 left, 2 right, 3 top, 4 bottom margin, 5 header, 6
    // footer position), in inches. A box whose text does not parse gives what the parse reached.
    float Length(int index) const;
    void SetLength(int index, float inches);
    QLineEdit& LengthBox(int index) const { return *m_Boxes.at(static_cast<size_t>(index - 1)); }
    QString Title() const;
    void SetTitle(const QString& title);
    bool PrintPageNumbers() const;
    void SetPrintPageNumbers(bool on);
    // Shows the dialog's help; the window that owns the help connects to it.
    QPushButton& HelpButton() const { return *m_Help; }

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    TMeasureSystem m_System;
    std::array<QLineEdit*, 6> m_Boxes{};
    QCheckBox* m_PageNosBox;
    QLineEdit* m_TitleBox;
    QPushButton* m_Help;
};
