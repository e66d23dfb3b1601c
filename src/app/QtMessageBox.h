#pragma once

#include "text/MessageBox.h"

class QWidget;

// The program's questions and messages as Qt message boxes.
class TQtMessageBox : public TMessageBox {
public:
    explicit TQtMessageBox(QWidget* parent = nullptr) : m_Parent(parent) {}
    TModalResult Show(const std::string& message, TMsgDlgType type, TMsgButtons buttons) override;

private:
    QWidget* m_Parent;
};
