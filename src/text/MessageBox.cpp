#include "text/MessageBox.h"

namespace {
TMessageBox* g_Service = nullptr;
}

TMessageBox* TMessageBox::Install(TMessageBox* service) {
    TMessageBox* previous = g_Service;
    g_Service = service;
    return previous;
}

TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgButtons buttons) {
    if (g_Service) return g_Service->Show(message, type, buttons);
    switch (buttons) {
    case TMsgButtons::mbYesNoCancel: return TModalResult::mrCancel;
    case TMsgButtons::mbYesNo: return TModalResult::mrNo;
    default: return TModalResult::mrOK;
    }
}
