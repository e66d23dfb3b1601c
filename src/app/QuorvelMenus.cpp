// The main window's menus: each command with its caption, shortcut and hint.

#include <QMenuBar>

#include "app/Quorvel.h"

QAction* TQuorvel::AddCommand(QMenu* menu, const QString& caption, const QString& shortcut,
                              const QString& hint, std::function<void()> command) {
    QAction* action = menu->addAction(caption);
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    connect(action, &QAction::hovered, this, [this, hint] { ShowHint(hint); });
    // A command that fails says why and leaves the window as it was.
    connect(action, &QAction::triggered, this, [command = std::move(command)] {
        try {
            command();
        } catch (const std::exception& e) {
            MessageDlg(e.what(), TMsgDlgType::mtError, TMsgButtons::mbOK);
        }
    });
    return action;
}

void TQuorvel::CreateMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    AddCommand(file, "&New", {}, "Create new file", [this] { New(); });
    AddCommand(file, "&Open...", "Ctrl+O", "Open a file", [this] { Open(); });
    m_Actions.Close = AddCommand(file, "&Close", {}, "Close the active editor window", [this] { Close(); });
    m_Actions.Revert =
        AddCommand(file, "&Revert", {}, "Reverts to orginal version of file", [this] { Revert(); });
    m_Actions.Save = AddCommand(file, "&Save", "Ctrl+S", "Save Changes", [this] { Save(); });
    m_Actions.SaveAs =
        AddCommand(file, "Save &As...", {}, "Save to new file", [this] { SaveAs(*CurrentEditor()); });
    m_Actions.SaveSelection =
        AddCommand(file, "Save Se&lection", {}, "Saves the current selection", [this] { SaveSelection(); });
    AddCommand(file, "Save A&ll", {}, "Saves all modified files", [this] { SaveAll(); });
    file->addSeparator();
    AddCommand(file, "E&xit", "Alt+X", "Exit application", [this] { close(); });
    connect(file, &QMenu::aboutToHide, this, [this] { ShowHint({}); });
}
