#include <QApplication>
#include <QIcon>

#include "app/QtMessageBox.h"
#include "app/Quorvel.h"

namespace {

// An exception that leaves an event handler is shown in an error box, and the program goes on.
class TQuorvelApplication : public QApplication {
public:
    using QApplication::QApplication;

    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& e) {
            MessageDlg(e.what(), TMsgDlgType::mtError, TMsgButtons::mbOK);
            return false;
        }
    }
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
    window.show();
    for (int i = 1; i < argc; ++i) {
        try {
            window.OpenFileInPage(argv[i], i == 1);
        } catch (const std::exception& e) {
            MessageDlg(e.what(), TMsgDlgType::mtError, TMsgButtons::mbOK);
        }
    }
    return app.exec();
}
