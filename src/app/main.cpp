#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "app/CommandLine.h"
#include "app/HandOffServer.h"
#include "app/PaintReport.h"
#include "app/QtMessageBox.h"
#include "app/Quorvel.h"
#include "app/SettingsStore.h"
#include "app/SingleInstance.h"
#include "app/TimingLog.h"

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

// Hands the files to a running instance; true when it took them all. Those it did not take stay in
// `line`. Afterwards `instance` is null unless this instance is to receive files itself.
bool HandOff(TCommandLine& line, std::unique_ptr<TSingleInstance>& instance) {
    instance = std::make_unique<TSingleInstance>();
    if (!line.Files.empty() && !line.ReadStdin) {
        std::vector<TFileHandOff> records;
        for (const TCommandLine::TFile& file : line.Files)
            records.push_back({(line.Options & coWrap) != 0, line.WrapMode, line.LineLength,
                               file.Name.native(), file.Line});
        size_t taken = 0;
        instance->HandOff(records, taken);
        if (taken == records.size()) return true;
        line.Files.erase(line.Files.begin(), line.Files.begin() + static_cast<std::ptrdiff_t>(taken));
    }
    if (!instance->Usable() || instance->ReceiverRunning())
        instance.reset();
    else
        instance->RemoveStaleSocket();
    return false;
}

// With QUORVEL_MESSAGE_LOG naming a file, the text of every message box is added to it as a line when
// the box comes up: the end-to-end scenarios read there what the user was told.
class TLoggedMessages : public TMessageBox {
public:
    TLoggedMessages(TMessageBox& boxes, const char* log) : m_Boxes(boxes), m_Log(log) {}
    TModalResult Show(const std::string& message, TMsgDlgType type, TMsgButtons buttons) override {
        std::ofstream(m_Log, std::ios::app) << message << '\n';
        return m_Boxes.Show(message, type, buttons);
    }

private:
    TMessageBox& m_Boxes;
    std::string m_Log;
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
    std::unique_ptr<TSingleInstance> instance;
    // Before any window: a file handed over shows in the running window and nowhere else.
    if (problem.empty() && !line.Print && HandOff(line, instance)) return 0;

    TQuorvelApplication app(argc, argv);
    QApplication::setOrganizationName("Tarvane Software");
    QApplication::setApplicationName("Quorvel");
    QGuiApplication::setDesktopFileName("quorvel"); // the installed menu entry and its icon
    QApplication::setWindowIcon(QIcon::fromTheme("quorvel"));
    TQtMessageBox messages;
    TMessageBox::Install(&messages);
    const QByteArray log = qgetenv("QUORVEL_MESSAGE_LOG");
    TLoggedMessages logged(messages, log.constData());
    if (!log.isEmpty()) TMessageBox::Install(&logged);
    // With QUORVEL_TIMING_LOG naming a file, keys, repaints of the text and the caret's position go there.
    if (qEnvironmentVariableIsSet("QUORVEL_TIMING_LOG"))
        app.installEventFilter(new TTimingLog(qEnvironmentVariable("QUORVEL_TIMING_LOG"), &app));
    if (!problem.empty()) {
        std::fprintf(stderr, "quorvel: %s\n", problem.c_str());
        if (!::isatty(STDERR_FILENO)) MessageDlg(problem, TMsgDlgType::mtError, TMsgButtons::mbOK);
        return 2;
    }
    TQVIniFile store;
    Guarded([&] { store = TQVIniFile(SettingsFileName()); }); // unreadable: defaults, and nothing written
    TQuorvel window;
    window.LoadSettings(store);
    THandOffServer server;
    if (instance && server.Listen(instance->SocketName())) {
        server.OnHandOff = [&window](const TFileHandOff& record) { return window.ReceiveHandOff(record); };
        window.SetHandOffServer(&server);
    }
    instance.reset(); // the next instance may decide: this one listens, or stands alone
    if (qEnvironmentVariableIsSet("QUORVEL_HANDOFF_REPORT"))
        window.OnHandOffShown = [](TFileEditor& editor) { new TPaintReport(editor, false); };
    window.show();
    // The files open from the running event loop, once the window is complete: what opening a file
    // processes (paints, timers) then meets a whole window and a loop that can end.
    QTimer::singleShot(0, &window, [&] {
        window.StartUpWith(line, stdinText);
        if (qEnvironmentVariableIsSet("QUORVEL_FIRST_PAINT_REPORT"))
            new TPaintReport(*window.CurrentEditor(), true);
    });
    const int status = QApplication::exec();
    server.Close();
    Guarded([&] {
        window.SaveSettings(store);
        store.UpdateFile();
    });
    return status;
}
