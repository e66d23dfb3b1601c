// Another program holding text on the clipboard, for the end-to-end scenarios: it puts its first
// argument there, says "ready" on its output, and keeps the clipboard until it is ended.

#include <cstdio>

#include <QClipboard>
#include <QGuiApplication>
#include <QTimer>

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(argv[1]));
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return QGuiApplication::exec();
}
