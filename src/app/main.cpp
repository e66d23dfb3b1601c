#include <cstdio>
#include <fstream>
#include <unistd.h>
#include <vector>

#include <QApplication>
#include <QIcon>
#include <QTimer>

#include "app/QtMessageBox.h"
#include "app/Quorvel.h"

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

// With QUORVEL_FIRST_PAINT_REPORT set, the program prints its resident memory (KiB) and the size of the
// text it shows once that text has been painted for the first time, and ends: the start-up benchmark
// times that.
class TFirstPaintReport : public QObject {
public:
    explicit TFirstPaintReport(TMailEditor& editor) : QObject(&editor), m_Editor(editor) {
        editor.viewport()->installEventFilter(this);
        editor.viewport()->update();
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_Reported) return false;
        m_Reported = true;
        QTimer::singleShot(0, this, [this] { // after the frame is finished
            long pages = 0, resident = 0;
            std::ifstream("/proc/self/statm") >> pages >> resident;
            std::printf("%ld %lld\n", resident * (::sysconf(_SC_PAGESIZE) / 1024),
                        static_cast<long long>(m_Editor.TextSize()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        return false;
    }

private:
    TMailEditor& m_Editor;
    bool m_Reported = false;
};

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
    TQuorvel window;
    window.show();
    // The files open from the running event loop, once the window is complete: what opening a file
    // processes (paints, timers) then meets a whole window and a loop that can end.
    QTimer::singleShot(0, &window, [&window, files = std::vector<std::string>(argv + 1, argv + argc)] {
        // The first file goes to the first page; any others to pages of their own behind it.
        for (size_t i = 0; i < files.size(); ++i)
            Guarded([&] {
                if (i == 0)
                    window.CurrentEditor()->SetFileName(files[i]);
                else
                    window.OpenFileInPage(files[i], false);
            });
        if (qEnvironmentVariableIsSet("QUORVEL_FIRST_PAINT_REPORT"))
            new TFirstPaintReport(*window.CurrentEditor());
    });
    return app.exec();
}
