#pragma once

#include <functional>
#include <memory>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "app/QtMessageBox.h"
#include "app/Quorvel.h"

// Runs `answer` on the next modal dialog, once it is up.
inline void AnswerModal(std::function<void(QWidget&)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            answer(*dialog);
        }
    });
    poll->start(10);
}

// Types `names` into the next file dialog, after ticking its Read only box when told, and presses Enter.
inline void AnswerFileDialog(const std::string& names, bool readOnly = false) {
    AnswerModal([names, readOnly](QWidget& dialog) {
        for (QCheckBox* box : dialog.findChildren<QCheckBox*>())
            if (box->text() == "&Read only") box->setChecked(readOnly);
        auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
        edit->setText(QString::fromStdString(names));
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

inline std::string WholeText(TFileEditor& editor) {
    return editor.Text().GetText(0, editor.TextSize());
}

inline QAction* MenuCommand(TQuorvel& window, const QString& menu, const QString& item) {
    for (QAction* top : window.menuBar()->actions())
        if (top->text() == menu)
            for (QAction* action : top->menu()->actions())
                if (action->text() == item) return action;
    return nullptr;
}

inline QPushButton* Button(QWidget& dialog, const QString& caption) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == caption) return button;
    return nullptr;
}

// The program's real message boxes while it exists. Each box that comes up is answered by `input` (real
// key or mouse events); one that the input leaves open is closed a second later and counted as stuck,
// so that a test of a box nobody can answer fails instead of hanging.
class TRealBoxes {
public:
    explicit TRealBoxes(std::function<void(QMessageBox&)> input)
        : m_Input(std::move(input)), m_Previous(TMessageBox::Install(&m_Boxes)) {
        QObject::connect(&m_Poll, &QTimer::timeout, [this] { Poll(); });
        m_Poll.start(10);
    }
    ~TRealBoxes() { TMessageBox::Install(m_Previous); }

    QStringList Asked;
    int Stuck = 0;

private:
    void Poll() {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box == m_Answered) return;
        m_Answered = box;
        Asked << box->text();
        m_Input(*box);
        QTimer::singleShot(1000, &m_Poll, [this, box = QPointer<QMessageBox>(box)] {
            if (!box || !box->isVisible()) return;
            ++Stuck;
            box->reject();
        });
    }

    std::function<void(QMessageBox&)> m_Input;
    TQtMessageBox m_Boxes;
    TMessageBox* m_Previous;
    QTimer m_Poll;
    QPointer<QMessageBox> m_Answered;
};

// The main window, shown and active.
struct TWindow {
    TWindow() {
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
    }
    // A key typed into the window, which takes over from a dialog as a click would.
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        if (QApplication::activeWindow() != &window) {
            window.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&window));
        }
        QTest::keyClick(window.CurrentEditor(), key, modifiers);
    }
    TQuorvel window;
};
