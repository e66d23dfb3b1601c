#pragma once

#include <functional>
#include <vector>

#include <QDialog>

#include "text/LinesBuffer.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The Find dialog, or with replacing the Replace dialog. It stays open beside the text, and each
// button press is handed to the window through the On... handlers.
class TFindDialog : public QDialog {
    Q_OBJECT
public:
    TFindDialog(QWidget* parent, bool replacing);

    QString FindText() const;
    void SetFindText(const QString& text);
    QString ReplaceText() const;
    // Match case, whole word and direction as search option bits; the Replace dialog searches down.
    TFindOptions Options() const;

    std::function<void()> OnFind;
    std::function<void()> OnReplace;
    std::function<void()> OnReplaceAll;

private:
    QLineEdit* m_FindEdit;
    QLineEdit* m_ReplaceEdit = nullptr;
    QCheckBox* m_WholeWord;
    QCheckBox* m_MatchCase;
    QRadioButton* m_Down = nullptr;
    std::vector<QPushButton*> m_Searching; // the buttons that need a text to look for
};
