#pragma once

#include <exception>
#include <string>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation };
enum class TMsgButtons { mbOK, mbYesNo, mbYesNoCancel };
enum class TModalResult { mrNone, mrOK, mrCancel, mrYes, mrNo };

// The one way the program asks the user something or tells them: the application installs a service
// that shows real message boxes, tests install one that answers from a script.
class TMessageBox {
public:
    virtual ~TMessageBox() = default;
    virtual TModalResult Show(const std::string& message, TMsgDlgType type, TMsgButtons buttons) = 0;

    // Installs `service` (null: none) and returns the one it replaces.
    static TMessageBox* Install(TMessageBox* service);
};

// Asks the installed service; without one, the answer is the most cautious the buttons allow
// (Cancel, else No, else OK).
TModalResult MessageDlg(const std::string& message, TMsgDlgType type, TMsgButtons buttons);

// Runs `work`; a failure goes to the user as an error message and goes no further.
template <typename TWork> void Guarded(TWork&& work) {
    try {
        work();
    } catch (const std::exception& e) {
        MessageDlg(e.what(), TMsgDlgType::mtError, TMsgButtons::mbOK);
    }
}
