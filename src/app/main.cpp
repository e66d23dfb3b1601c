#include <cstdio>
#include <iostream>
#include <iterator>
#include <memory>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/PaintReport.h"
#include "app/QtMessageBox.h"
#include "app/Quorvel.h"
#include "app/SettingsStore.h"

namespace {

// An exception that leaves an event handler is shown in an error box, and the program goes on.
class TQuorvelApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        bool handled = false;
        Guarded([&] { handled = QApplication::notify(receiver, event); });
        return handled;
    }
};

} // namespace

int main(int argc, char* argv[]) {
    TCommandLine line;
    std::string problem;
    try {
        line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const Exception& e) {
        problem = e.what();
    }
    if (problem.empty() && (line.Help || line.Version)) {
        std::fputs(line.Help ? CommandLineHelp().c_str() : "quorvel " QUORVEL_VERSION "\n", stdout);
        return 0;
    }
    std::string stdinText;
    if (line.ReadStdin) stdinText.assign(std::istreambuf_iterator<char>(std::cin), {});

    TQuorvelApplication app(argc, argv);
    QApplication::setOrganizationName("Tarvane Software");
    QApplication::setApplicationName("Quorvel");
    QGuiApplication::setDesktopFileName("quorvel"); // the installed menu entry and its icon
    QApplication::setWindowIcon(QIcon::fromTheme("quorvel"));
    TQtMessageBox messages;
    TMessageBox::Install(&messages);
    if (!problem.empty()) {
        std::fprintf(stderr, "quorvel: %s\n", problem.c_str());
        if (!::isatty(STDERR_FILENO)) MessageDlg(problem, TMsgDlgType::mtError, TMsgButtons::mbOK);
        return 2;
    }
    TQVIniFile store;
    Guarded([&] { store = TQVIniFile(SettingsFileName()); }); // unreadable: defaults, and nothing written
    TQuorvel window;
    window.LoadSettings(store);
    window.show();
    // The files open from the running event loop, once the window is complete: what opening a file
    // processes (paints, timers) then meets a whole window and a loop that can end.
    QTimer::singleShot(0, &window, [&] {
        window.StartUpWith(line, stdinText);
        if (qEnvironmentVariableIsSet("QUORVEL_FIRST_PAINT_REPORT"))
            new TPaintReport(*window.CurrentEditor(), true);
    });
    const int status = QApplication::exec();
    Guarded([&] {
        window.SaveSettings(store);
        store.UpdateFile();
    });
    return status;
}
