#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tarvane Software");
    QApplication::setApplicationName("Quorvel");
    QMainWindow window;
    window.setWindowTitle("Quorvel");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
