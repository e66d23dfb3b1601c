// Another program that drags files, for the end-to-end scenarios: a window titled "Drag Source" that
// starts dragging the files named by its arguments when a mouse button is pressed in it. It says
// "ready" on its output once shown.

#include <cstdio>

#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

class TDragSource : public QWidget {
public:
    explicit TDragSource(QList<QUrl> files) : m_Files(std::move(files)) { setWindowTitle("Drag Source"); }

protected:
    void mousePressEvent(QMouseEvent*) override {
        auto* mime = new QMimeData;
        mime->setUrls(m_Files);
        auto* drag = new QDrag(this);
        drag->setMimeData(mime);
        drag->exec(Qt::CopyAction);
    }

private:
    QList<QUrl> m_Files;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QList<QUrl> files;
    for (int i = 1; i < argc; ++i)
        files << QUrl::fromLocalFile(QString::fromLocal8Bit(argv[i]));
    TDragSource source(files);
    source.resize(200, 150);
    source.show();
    QTimer::singleShot(0, [] {
        std::puts("ready");
        std::fflush(stdout);
    });
    return QApplication::exec();
}
