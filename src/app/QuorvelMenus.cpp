// The main window's menus, local menu and tool bar: each command with its caption, shortcut and hint.

#include <QActionGroup>
#include <QDateTime>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/FileList.h"
#include "app/HelpTopics.h"
#include "app/Quorvel.h"

QAction* TQuorvel::Command(const QString& caption, const QString& hint, std::function<void()> run) {
    auto* action = new QAction(caption, this);
    connect(action, &QAction::hovered, this, [this, hint] { ShowHint(hint); });
    // A command that fails says why and leaves the window as it was; no exception crosses Qt's signals.
    connect(action, &QAction::triggered, this, [run = std::move(run)] { Guarded(run); });
    return action;
}

QAction* TQuorvel::AlsoKeys(QAction* action, const QStringList& keys) {
    QList<QKeySequence> shortcuts = action->shortcuts();
    for (const QString& key : keys)
        shortcuts.append(QKeySequence(key));
    action->setShortcuts(shortcuts);
    return action;
}

std::function<void()> TQuorvel::OnEditor(void (TMailEditor::*operation)()) {
    return [this, operation] { (CurrentEditor()->*operation)(); };
}

QAction* TQuorvel::AddCommand(QMenu* menu, const QString& caption, const QString& shortcut,
                              const QString& hint, std::function<void()> run) {
    QAction* action = Command(caption, hint, std::move(run));
    if (!shortcut.isEmpty()) action->setShortcut(QKeySequence(shortcut));
    menu->addAction(action);
    return action;
}

QAction* TQuorvel::AddButton(QToolBar* bar, TToolIcon icon, const QString& tip, std::function<void()> run) {
    QAction* action = Command(tip, {}, std::move(run));
    action->setIcon(ToolIcon(icon));
    bar->addAction(action);
    return action;
}

void TQuorvel::CreateMenus() {
    auto& on = m_Enabled;
    QMenu* file = menuBar()->addMenu("&File");
    AlsoKeys(AddCommand(file, "&New", {}, "Create new file", [this] { New(); }), {"Ctrl+N"});
    AddCommand(file, "&Open...", "Ctrl+O", "Open a file", [this] { Open(); });
    AlsoKeys(AddCommand(file, "&Close", {}, "Close the active editor window", [this] { Close(); }),
             {"Ctrl+W"});
    on.Revert = AddCommand(file, "&Revert", {}, "Reverts to orginal version of file", [this] { Revert(); });
    AddCommand(file, "&Merge...", "Ctrl+M", "Merge in file contents", [this] { Merge(); });
    on.Modified.push_back(AddCommand(file, "&Save", "Ctrl+S", "Save Changes", [this] { Save(); }));
    on.Text.push_back(AlsoKeys(
        AddCommand(file, "Save &As...", {}, "Save to new file", [this] { SaveAs(*CurrentEditor()); }),
        {"Ctrl+Shift+S"}));
    on.Selection.push_back(
        AddCommand(file, "Save Se&lection", {}, "Saves the current selection", [this] { SaveSelection(); }));
    AddCommand(file, "Save A&ll", {}, "Saves all modified files", [this] { SaveAll(); });
    file->addSeparator();
    on.Text.push_back(
        AddCommand(file, "&UUDecode", "Ctrl+U", "UUDecode encoded text", [this] { UUDecode(); }));
    file->addSeparator();
    AddCommand(file, "P&age Setup", {}, "Configure page layout", [this] { PageSetup(); });
    AddCommand(file, "Print S&etup...", {}, "Configure Printer", [this] { PrintSetup(); });
    on.Text.push_back(AddCommand(file, "&Print...", "Ctrl+P", "Print File", [this] { Print(); }));
    AddCommand(file, "Prop&erties...", {}, {}, [this] { FileProperties(); });
    file->addSeparator();
    QAction* exit = AddCommand(file, "E&xit", "Alt+X", "Exit application", [this] { close(); });
    m_FileList->SetMenu(file, exit); // the recent files follow Exit

    QMenu* edit = menuBar()->addMenu("&Edit");
    on.Undo = AddCommand(edit, "&Undo", "Ctrl+Z", "Undo last edit", OnEditor(&TMailEditor::UndoEdit));
    on.Redo = AlsoKeys(
        AddCommand(edit, "&Redo", "Ctrl+R", "Undoes the last Undo", OnEditor(&TMailEditor::RedoEdit)),
        {"Ctrl+Shift+Z"});
    edit->addSeparator();
    on.Selection.push_back(
        AddCommand(edit, "Cu&t", "Ctrl+X", "Selection into Clipboard", OnEditor(&TMailEditor::CutSelection)));
    on.Selection.push_back(AddCommand(edit, "&Copy", "Ctrl+C", "Copy Selection to Clipboard",
                                      OnEditor(&TMailEditor::CopyToClipboard)));
    on.Clipboard.push_back(AddCommand(edit, "&Paste", "Ctrl+V", "Insert Clipboard contents",
                                      OnEditor(&TMailEditor::PasteClipboard)));
    on.Clipboard.push_back(
        AddCommand(edit, "Paste &Quote", "F6", "Paste with Mail Quotes", [this] { PasteQuote(); }));
    on.Text.push_back(
        AddCommand(edit, "&Select All", "Ctrl+A", "Select all text", OnEditor(&TMailEditor::SelectAll)));
    edit->addSeparator();
    AddCommand(edit, "Capitalise &Words", "Shift+F3", "Capitalise current word or selection",
               OnEditor(&TMailEditor::CapitaliseWords));
    on.Text.push_back(
        AddCommand(edit, "&FlowText", "Shift+F5", "Flow Text into paragraphs", [this] { FlowText(); }));
    AddCommand(edit, "Insert &Date/Time", "F5", "Inserts the current date and time",
               [this] { CurrentEditor()->InsertDateTime(QDateTime::currentDateTime()); });
    AddCommand(edit, "Insert Page &Break", "Ctrl+L", "Inserts a page break",
               [this] { CurrentEditor()->TypeChar(12); });
    on.Text.push_back(AddCommand(edit, "Ref&ormat Quoted Text", "Ctrl+F5",
                                 "Reformats select text into quoted paragraphs",
                                 [this] { ReformatQuotedText(); }));
    on.Column.push_back(
        AddCommand(edit, "&Replace Block...", "F9", "Replaces block with text", [this] { ReplaceBlock(); }));

    QMenu* view = menuBar()->addMenu("&View");
    on.Text.push_back(
        AlsoKeys(AddCommand(view, "Zoom &In", "Ctrl+I", "Zooms in by x2", [this] { ZoomBy(1); }),
                 {"Ctrl++", "Ctrl+="}));
    on.Text.push_back(AlsoKeys(
        AddCommand(view, "Zoom &Out", "Ctrl+K", "Zooms out by x2", [this] { ZoomBy(-1); }), {"Ctrl+-"}));
    view->addSeparator();
    on.Utf8 = AddCommand(view, "&UTF-8", {}, "Reads the text as UTF-8, or else as Windows-1252",
                         [this] { ToggleCharSet(); });
    on.Utf8->setCheckable(true);

    QMenu* search = menuBar()->addMenu("&Search");
    on.Text.push_back(AddCommand(search, "&Find...", "Ctrl+F", "Search for text", [this] { Find(); }));
    on.FindAgain = AddCommand(search, "Find &Again", "F3", "Repeat last search", [this] { FindAgain(); });
    on.Text.push_back(AlsoKeys(
        AddCommand(search, "&Replace...", {}, "Replace specified text", [this] { Replace(); }), {"Ctrl+H"}));
    search->addSeparator();
    on.Text.push_back(AddCommand(search, "&Goto...", "Ctrl+G", "Goto line number", [this] { Goto(); }));
    on.Text.push_back(
        AddCommand(search, "Add &Bookmark", "F11", "Add a Bookmark", [this] { AddBookmark(); }));
    on.LastBookmark = AddCommand(search, "Goto Last B&ookmark", "F12", "Jump to last defined bookmark",
                                 [this] { GoToLastBookmark(); });

    QMenu* format = menuBar()->addMenu("Forma&t");
    AddCommand(format, "&Font...", {}, "Change Font", [this] { ChooseFont(); });
    AddCommand(format, "&Tab Stops...", {}, "Configure tab stops", [this] { TabStops(); });
    AddCommand(format, "To&ggle Wrap Mode", "F8", "Toggles the wrap mode", [this] { ToggleWrapMode(); });

    QMenu* setup = menuBar()->addMenu("Set&up");
    AddCommand(setup, "&Preferences...", {}, "Modify the Mail Quote String", [this] { Preferences(); });
    AddCommand(setup, "&Tools...", {}, {}, [this] { Tools(); });

    QMenu* help = menuBar()->addMenu("&Help");
    AddCommand(help, "&Help Topics", {}, "Show Help File", [this] { HelpTopics(); });
    AddCommand(help, "&Introduction", {}, "Shows Quorvel Introductino", [this] { Introduction(); });
    AddCommand(help, "&Quorvel Home Page", {}, "Link to Quorvel's Home Page", [this] { HomePage(); });
    help->addSeparator();
    AddCommand(help, "&About...", {}, "Shows About Box", [this] { About(); });
    // F1 over the text: the editor's page of the help.
    QAction* editorHelp = Command("Help", {}, [this] { ShowHelp(this, THelpTopic::htEditor); });
    editorHelp->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(editorHelp);

    for (QMenu* menu : {file, edit, view, search, format, setup, help}) {
        connect(menu, &QMenu::aboutToShow, this, &TQuorvel::UpdateCommandStates);
        connect(menu, &QMenu::aboutToHide, this, [this] { ShowHint({}); });
    }
}

void TQuorvel::CreateLocalMenu() {
    auto& on = m_Enabled;
    m_LocalMenu = new QMenu(this);
    QMenu* menu = m_LocalMenu;
    AddCommand(menu, "C&lose Page", {}, "Closes the current editor page", [this] { Close(); });
    menu->addSeparator();
    on.Text.push_back(AddCommand(menu, "&Find", {}, "Search for text", [this] { Find(); }));
    menu->addSeparator();
    on.Selection.push_back(
        AddCommand(menu, "Cu&t", {}, "Cut to Clipboard", OnEditor(&TMailEditor::CutSelection)));
    on.Selection.push_back(
        AddCommand(menu, "&Copy", {}, "Copy To Clipboard", OnEditor(&TMailEditor::CopyToClipboard)));
    on.Clipboard.push_back(
        AddCommand(menu, "&Paste", {}, "Insert text from Clipboard", OnEditor(&TMailEditor::PasteClipboard)));
    on.Clipboard.push_back(AddCommand(menu, "Paste &Quote", {}, {}, [this] { PasteQuote(); }));
    menu->addSeparator();
    on.Text.push_back(
        AddCommand(menu, "Flo&w Text", {}, "Flow Text into Paragraphs", [this] { FlowText(); }));
    on.Text.push_back(
        AddCommand(menu, "Select &All", {}, "Selects all text", OnEditor(&TMailEditor::SelectAll)));
    on.Column.push_back(AddCommand(menu, "&Replace Block", {}, {}, [this] { ReplaceBlock(); }));
    connect(menu, &QMenu::aboutToShow, this, &TQuorvel::UpdateCommandStates);
    connect(menu, &QMenu::aboutToHide, this, [this] { ShowHint({}); });
}

void TQuorvel::CreateToolBar() {
    auto& on = m_Enabled;
    QToolBar* bar = m_ToolBar = addToolBar("Tools");
    bar->setMovable(false);
    bar->setIconSize(QSize(24, 24));
    AddButton(bar, TToolIcon::New, "New File", [this] { New(); });
    AddButton(bar, TToolIcon::Open, "Open File", [this] { Open(); });
    AddButton(bar, TToolIcon::Merge, "Merge File", [this] { Merge(); });
    on.Modified.push_back(AddButton(bar, TToolIcon::Save, "Save", [this] { Save(); }));
    on.Text.push_back(AddButton(bar, TToolIcon::Print, "Print", [this] { PrintButton(); }));
    bar->addSeparator();
    on.Selection.push_back(AddButton(bar, TToolIcon::Cut, "Cut", OnEditor(&TMailEditor::CutSelection)));
    on.Selection.push_back(AddButton(bar, TToolIcon::Copy, "Copy", OnEditor(&TMailEditor::CopyToClipboard)));
    on.Clipboard.push_back(AddButton(bar, TToolIcon::Paste, "Paste", OnEditor(&TMailEditor::PasteClipboard)));
    bar->addSeparator();
    on.Text.push_back(AddButton(bar, TToolIcon::Find, "Find", [this] { Find(); }));
    bar->addSeparator();
    // Exactly one wrap button is down: the wrap-mode handler keeps them in step with the editor.
    auto* wrapGroup = new QActionGroup(this);
    auto wrapButton = [&](TToolIcon icon, const QString& tip, TWrapModes mode) {
        QAction* button = AddButton(bar, icon, tip, [this, mode] { CurrentEditor()->SetWrapMode(mode); });
        button->setCheckable(true);
        wrapGroup->addAction(button);
        m_WrapButtons.at(static_cast<size_t>(mode)) = button;
    };
    wrapButton(TToolIcon::WrapNone, "Wrap on Line Breaks", TWrapModes::opNone);
    wrapButton(TToolIcon::WrapWindow, "Wrap on Window Boundary", TWrapModes::opWrapScreenWidth);
    wrapButton(TToolIcon::WrapPrinter, "Wrap on Printer Page Width", TWrapModes::opPrinter);
    wrapButton(TToolIcon::WrapChars, "Wrap after n characters", TWrapModes::opAbsoluteWrap);
    bar->addSeparator();
    on.Text.push_back(AddButton(bar, TToolIcon::FlowText, "Flow Text", [this] { FlowText(); }));
    on.Text.push_back(
        AddButton(bar, TToolIcon::Reformat, "Reformat Quoted Text", [this] { ReformatQuotedText(); }));
    bar->addSeparator();
    on.Text.push_back(AddButton(bar, TToolIcon::ZoomIn, "Zoom In", [this] { ZoomBy(1); }));
    on.Text.push_back(AddButton(bar, TToolIcon::ZoomOut, "Zoom Out", [this] { ZoomBy(-1); }));
    bar->addSeparator();
    on.PropertiesButton =
        AddButton(bar, TToolIcon::Properties, "File Properties", [this] { FileProperties(); });
}

bool TQuorvel::NewLook() const {
    const QList<QToolButton*> buttons = m_ToolBar->findChildren<QToolButton*>();
    return buttons.isEmpty() || buttons.front()->autoRaise();
}

void TQuorvel::SetNewLook(bool flat) {
    // Flat buttons show their frame only under the mouse; the old look keeps every frame raised.
    for (QToolButton* button : m_ToolBar->findChildren<QToolButton*>())
        button->setAutoRaise(flat);
}
