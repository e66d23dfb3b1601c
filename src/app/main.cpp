#include <QApplication>
#include <QMainWindow>
#include <QMessageBox>

#include "editor/IdleDriver.h"
#include "editor/TextViewer.h"
#include "text/DocumentFile.h"
#include "text/EditStream.h"
#include "text/Exceptions.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tarvane Software");
    QApplication::setApplicationName("Quorvel");
    QMainWindow window;
    window.setWindowTitle("Quorvel");
    window.resize(800, 600);
    auto* viewer = new TTextViewer(&window);
    viewer->SetShowLineBreaks(true); // the settings' default until the settings store exists
    window.setCentralWidget(viewer);
    auto stream = std::make_unique<TEditStream>();
    TEditStream& text = *stream;
    viewer->SetTextBuffer(std::move(stream));
    TIdleDriver::Instance().Register(viewer);
    // Shown read-only until the editing commands exist.
    TDocumentFile document(text);
    document.SetReadOnly(true);
    document.OnClear = [viewer] { viewer->Clear(); };
    document.OnReset = [viewer] { viewer->TextLoaded(); };
    document.OnNewFileName = [&window](TDocumentFile& doc) {
        window.setWindowTitle("Quorvel - " + (doc.FileName().empty() ? QString("Untitled")
                                                                      : QString::fromStdString(doc.FileName().filename().string())));
    };
    window.show();
    if (argc > 1) {
        try {
            document.SetFileName(argv[1]);
        } catch (const Exception& e) {
            QMessageBox::critical(&window, "Quorvel", QString::fromStdString(e.what()));
        }
    }
    viewer->setFocus();
    return app.exec();
}
