#include <cstdio>
#include <fstream>
#include <unistd.h>

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

// With QUORVEL_FIRST_PAINT_REPORT set, the program prints its resident memory (KiB) once the text
// has been painted for the first time, and ends: the start-up benchmark times that.
class TFirstPaintReport : public QObject {
public:
    explicit TFirstPaintReport(QWidget& watched) : QObject(&watched) { watched.installEventFilter(this); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() != QEvent::Paint || m_Reported) return false;
        m_Reported = true;
        QTimer::singleShot(0, [] { // after the frame is finished
            long pages = 0, resident = 0;
            std::ifstream("/proc/self/statm") >> pages >> resident;
            std::printf("%ld\n", resident * (::sysconf(_SC_PAGESIZE) / 1024));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
        return false;
    }

private:
    bool m_Reported = false;
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
    TQuorvel window;
    if (qEnvironmentVariableIsSet("QUORVEL_FIRST_PAINT_REPORT"))
        new TFirstPaintReport(*window.CurrentEditor()->viewport());
    window.show();
    // The first file goes to the first page; any others to pages of their own behind it.
    for (int i = 1; i < argc; ++i)
        Guarded([&] {
            if (i == 1)
                window.CurrentEditor()->SetFileName(argv[i]);
            else
                window.OpenFileInPage(argv[i], false);
        });
    return app.exec();
}
