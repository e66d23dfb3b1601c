#pragma once

#include <QDialog>

class QLineEdit;

// Asks for the quote that the lines to reformat carry now and the quote they are to carry.
class TReformatDialog : public QDialog {
    Q_OBJECT
public:
    explicit TReformatDialog(QWidget* parent);

    QLineEdit* ExistingQuotes() const { return m_Existing; }
    QLineEdit* ReplaceWith() const { return m_ReplaceWith; }

private:
    QLineEdit* m_Existing;
    QLineEdit* m_ReplaceWith;
};
