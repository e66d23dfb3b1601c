#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>

#include "app/QtMessageBox.h"
#include "editor/FileEditor.h"
#include "editor/IdleDriver.h"
#include "text/Exceptions.h"

namespace {

// The program's window until the full main window exists: one editor and a File menu.
class TWindow : public QMainWindow {
public:
    TWindow() {
        resize(800, 600);
        m_Editor = new TFileEditor(this);
        m_Editor->SetShowLineBreaks(true); // the settings' default until the settings store exists
        setCentralWidget(m_Editor);
        TIdleDriver::Instance().Register(m_Editor);
        TDocumentFile& document = m_Editor->Document();
        document.OnNewFileName = [this](TDocumentFile& doc) {
            setWindowTitle("Quorvel - " + (doc.FileName().empty() ? QString("Untitled")
                                                                 : QString::fromStdString(doc.FileName().filename().string())));
        };
        document.OnSaveNewFile = [this](TDocumentFile&) { SaveAs(); };
        document.OnSaveModified = [](TDocumentFile& doc, TModalResult& answer) {
            const std::string name = doc.FileName().empty() ? "<untitled>" : doc.FileName().filename().string();
            answer = MessageDlg(name + " has changed. Save File?", TMsgDlgType::mtConfirmation, TMsgButtons::mbYesNoCancel);
        };
        document.OnSaveModePrompt = [this](TDocumentFile&, TSaveMode& mode) {
            if (m_Editor->WrapMode() == TWrapModes::opNone) {
                mode = TSaveMode::smParagraph;
            } else if (mode == TSaveMode::smPrompt) {
                mode = MessageDlg("Convert soft Line Breaks to hard Line Breaks?", TMsgDlgType::mtConfirmation,
                                  TMsgButtons::mbYesNo) == TModalResult::mrYes
                           ? TSaveMode::smLineBreaks
                           : TSaveMode::smParagraph;
            }
        };
        QMenu* file = menuBar()->addMenu("&File");
        file->addAction("&Save", QKeySequence("Ctrl+S"), [this] { Guarded([this] { m_Editor->Save(m_Editor->FileName()); }); });
        file->addAction("Save &As...", [this] { Guarded([this] { SaveAs(); }); });
        file->addSeparator();
        file->addAction("E&xit", [this] { close(); });
        m_Editor->setFocus();
    }

    void Open(const char* name) {
        Guarded([&] { m_Editor->SetFileName(name); });
    }

protected:
    void closeEvent(QCloseEvent* event) override {
        bool close = false;
        Guarded([&] { close = m_Editor->QuerySave(); });
        if (close)
            event->accept();
        else
            event->ignore();
    }

private:
    template <typename TWork> void Guarded(TWork work) {
        try {
            work();
        } catch (const std::exception& e) {
            MessageDlg(e.what(), TMsgDlgType::mtError, TMsgButtons::mbOK);
        }
    }
    void SaveAs() {
        QString name = QFileDialog::getSaveFileName(this, "Save File", QString::fromStdString(m_Editor->FileName().string()));
        if (name.isEmpty()) return;
        if (QFileInfo(name).suffix().isEmpty()) name += ".txt";
        m_Editor->Save(name.toStdString());
    }

    TFileEditor* m_Editor;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setOrganizationName("Tarvane Software");
    QApplication::setApplicationName("Quorvel");
    TQtMessageBox messages;
    TMessageBox::Install(&messages);
    TWindow window;
    window.setWindowTitle("Quorvel - Untitled");
    window.show();
    if (argc > 1) window.Open(argv[1]);
    return app.exec();
}
