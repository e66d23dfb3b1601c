#include "app/QtMessageBox.h"

#include <QApplication>
#include <QMessageBox>

TModalResult TQtMessageBox::Show(const std::string& message, TMsgDlgType type, TMsgButtons buttons) {
    QMessageBox::Icon icon = QMessageBox::Information;
    switch (type) {
    case TMsgDlgType::mtWarning:
        icon = QMessageBox::Warning;
        break;
    case TMsgDlgType::mtError:
        icon = QMessageBox::Critical;
        break;
    case TMsgDlgType::mtConfirmation:
        icon = QMessageBox::Question;
        break;
    case TMsgDlgType::mtInformation:
        break;
    }
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == TMsgButtons::mbYesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == TMsgButtons::mbYesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    // Without a parent of its own the box belongs to the window the user works in, and stays above it.
    QMessageBox box(icon, "Quorvel", QString::fromStdString(message), set,
                    m_Parent ? m_Parent : QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes:
        return TModalResult::mrYes;
    case QMessageBox::No:
        return TModalResult::mrNo;
    case QMessageBox::Cancel:
        return TModalResult::mrCancel;
    default:
        return TModalResult::mrOK;
    }
}
