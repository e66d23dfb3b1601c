#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QMimeData>
#include <QTest>
#include <QTimer>

#include "ErrorOf.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/TextViewer.h"
#include "text/Exceptions.h"

namespace {

// A viewer that records the characters that reach the editing layer.
class TRecordingViewer : public TTextViewer {
public:
    QString Typed;

protected:
    void CharTyped(const QString& text) override { Typed += text; }
};

struct Viewer : TShownView<TRecordingViewer> {
    explicit Viewer(const std::string& bytes, TWrapModes mode = TWrapModes::opNone, int rows = 10,
                    int columns = 40)
        : TShownView(TextOver(bytes), mode, rows, columns) {}
};

TViewPos Pos(TTextPos ch, TTextPos line) {
    return {ch, line};
}

} // namespace

class InputTest : public QObject {
    Q_OBJECT
private slots:
    void quickPrefixKeys() {
        Viewer v("hello world\n");
        v.view.SetLineStartKey(1107); // Ctrl+Q, S
        v.view.SetCaretChar(6);
        v.Key(Qt::Key_Q, Qt::ControlModifier);
        v.Key(Qt::Key_S, Qt::ControlModifier); // 1363: not bound, the prefix is used up all the same
        QCOMPARE(v.view.CaretChar(), 6);
        v.Key(Qt::Key_S);
        QCOMPARE(v.view.CaretChar(), 6);
        QCOMPARE(v.view.Typed, QString("s"));
        v.Key(Qt::Key_Q, Qt::ControlModifier);
        v.Key(Qt::Key_S);
        QCOMPARE(v.view.CaretChar(), 0);
        QCOMPARE(v.view.Typed, QString("s")); // neither the Q of Ctrl+Q nor the handled S was typed
        v.view.SetLineStartKey(39);           // Right's code: the later definition owns it
        v.view.SetCaretChar(4);
        v.Key(Qt::Key_Right);
        QCOMPARE(v.view.CaretChar(), 0);
    }

    void theEditorKeepsItsKeysFromShortcutsAndTabFromTheFocusChain() {
        QWidget window;
        auto* viewer = new TRecordingViewer;
        viewer->SetTextBuffer(TextOver("some text\n"));
        auto* other = new QWidget;
        other->setFocusPolicy(Qt::StrongFocus);
        QAction copy("Copy", &window);
        copy.setShortcut(QKeySequence("Ctrl+C"));
        window.addAction(&copy);
        int triggered = 0;
        connect(&copy, &QAction::triggered, [&triggered] { ++triggered; });
        viewer->setParent(&window);
        other->setParent(&window);
        other->move(0, 200);
        window.show();
        window.activateWindow();
        viewer->setFocus();
        QTest::qWait(1);
        QTest::keyClick(viewer, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(triggered, 0); // Ctrl+C is the editor's copy key
        QTest::keyClick(viewer, Qt::Key_Tab);
        QVERIFY(viewer->hasFocus());
        viewer->SetWantTabs(false);
        QTest::keyClick(viewer, Qt::Key_Tab);
        QVERIFY(other->hasFocus());
    }

    void pagingModes() {
        Viewer v(Repeated("line\n", 100));
        v.view.SetCaretLine(3);
        v.Key(Qt::Key_PageDown);
        QCOMPARE(v.view.CaretLine(), 12);
        QCOMPARE(v.view.TopLine(), 3); // only as far as needed to show the caret
        v.view.SetPagingMode(TPagingModes::pmCaretConstant);
        const TTextPos row = v.view.CaretLine() - v.view.TopLine();
        v.Key(Qt::Key_PageDown);
        QCOMPARE(v.view.CaretLine(), 21);
        QCOMPARE(v.view.CaretLine() - v.view.TopLine(), row);
    }

    // Ctrl+Up and Ctrl+Down scroll by one line; a caret on the row that leaves the window comes along.
    void scrollKeysTakeTheCaretAlongAtTheEdges() {
        Viewer v(Repeated("line\n", 100));
        for (int i = 0; i < 12; ++i)
            v.Key(Qt::Key_Down);
        QCOMPARE(v.view.TopLine(), 3);
        QCOMPARE(v.view.CaretLine() - v.view.TopLine(), v.view.VisibleLines() - 1); // the bottom row
        v.Key(Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(v.view.TopLine(), 2);
        QCOMPARE(v.view.CaretLine(), 11);
        v.Key(Qt::Key_Up, Qt::ControlModifier);
        v.Key(Qt::Key_Up, Qt::ControlModifier);
        v.Key(Qt::Key_Up, Qt::ControlModifier); // at the top already: nothing moves
        QCOMPARE(v.view.TopLine(), 0);
        QCOMPARE(v.view.CaretLine(), 9);
        v.Key(Qt::Key_Up);
        v.Key(Qt::Key_Down, Qt::ControlModifier); // the caret is not on the row that leaves
        QCOMPARE(v.view.TopLine(), 1);
        QCOMPARE(v.view.CaretLine(), 8);
        for (int i = 0; i < 7; ++i)
            v.Key(Qt::Key_Up);
        v.Key(Qt::Key_Down, Qt::ControlModifier); // the top row
        QCOMPARE(v.view.TopLine(), 2);
        QCOMPARE(v.view.CaretLine(), 2);
    }

    void shiftAndAltExtendSelections() {
        Viewer v("abcdefgh\nabcdefgh\nabcdefgh\n");
        v.view.SetCaretChar(5);
        v.Key(Qt::Key_Left, Qt::ShiftModifier);
        v.Key(Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(v.view.SelStart(), Pos(3, 0));
        QCOMPARE(v.view.SelEnd(), Pos(5, 0));
        QCOMPARE(v.view.SelMode(), TSelModes::smStream);
        // Back across the anchor: the selection shrinks to nothing at it, then grows the other way.
        v.Key(Qt::Key_Right, Qt::ShiftModifier);
        v.Key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(v.view.SelStart(), v.view.SelEnd());
        QVERIFY(!(v.view.State() & sfSelection));
        v.Key(Qt::Key_Right, Qt::ShiftModifier);
        QCOMPARE(v.view.SelStart(), Pos(5, 0));
        QCOMPARE(v.view.SelEnd(), Pos(6, 0));
        // Down without Shift drops the selection and moves from the caret.
        v.Key(Qt::Key_Down);
        QCOMPARE(v.view.SelMode(), TSelModes::smNone);
        QCOMPARE(v.view.CaretPos(), Pos(6, 1));
        v.Key(Qt::Key_Left, Qt::ShiftModifier);
        v.Key(Qt::Key_Left, Qt::ShiftModifier);
        v.Key(Qt::Key_Left);
        QCOMPARE(v.view.CaretPos(), Pos(4, 1)); // Left goes to the selection's start
        QCOMPARE(v.view.SelMode(), TSelModes::smNone);
        v.Key(Qt::Key_Down, Qt::AltModifier);
        v.Key(Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(v.view.SelMode(), TSelModes::smColumn);
        QCOMPARE(v.view.SelStart(), Pos(3, 1));
        QCOMPARE(v.view.SelEnd(), Pos(4, 2));
        v.Key(Qt::Key_Escape);
        QCOMPARE(v.view.SelMode(), TSelModes::smNone);
    }

    void wordMovement() {
        Viewer v("hello world, again\n");
        v.view.SetCaretChar(7); // in "world"
        v.Key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(v.view.CaretChar(), 6);
        v.Key(Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(v.view.CaretChar(), 0);
        v.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(v.view.CaretChar(), 6);

        // Over tabs: the caret stands at the tab stop after each, and from a word's end the next word's
        // start is the next stop.
        Viewer t("ab\tcd ef\tgh\n");
        const TTextPos stop = 8 * t.view.CharWidth();
        t.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(t.view.CaretChar(), 3);
        QCOMPARE(t.view.CaretX(), stop);
        t.Key(Qt::Key_Right, Qt::ControlModifier);
        t.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(t.view.CaretChar(), 9);
        QCOMPARE(t.view.CaretX(), 2 * stop);
        t.Key(Qt::Key_Home);
        t.Key(Qt::Key_Right);
        t.Key(Qt::Key_Right);
        t.Key(Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(t.view.CaretChar(), 3);
        QCOMPARE(t.view.CaretX(), stop);
    }

    void dragSelectsAndScrollsBelowTheWindow() {
        std::string text;
        for (int i = 0; i < 100; ++i)
            text += "line " + std::to_string(i) + "\n";
        Viewer v(text);
        v.view.SetAutoScroll(true);
        QWidget* port = v.view.viewport();
        QTest::mousePress(port, Qt::LeftButton, {}, v.At(2, 1));
        QTest::mouseMove(port, QPoint(30, port->height() + 200));
        QTest::qWait(150);
        QCOMPARE(v.view.AutoScrollInterval(), 100 / 11);
        QVERIFY(v.view.TopLine() > 5);
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(30, port->height() + 200));
        QCOMPARE(v.view.AutoScrollInterval(), 0);
        QCOMPARE(v.view.SelStart(), Pos(2, 1));
        QVERIFY(v.view.SelEnd().Line > 10);
    }

    void rightMarginDragRewraps() {
        Viewer v(Repeated("word ", 30), TWrapModes::opWrapScreenWidth, 10, 40);
        v.view.SetRightMargin(20);
        const TTextPos lines = v.view.LastLine();
        QWidget* port = v.view.viewport();
        const int margin = v.view.ClientWidth() - 20;
        QTest::mouseMove(port, QPoint(margin, 5));
        QVERIFY(v.view.CursorReasons() & crOnMargin);
        QTest::mousePress(port, Qt::LeftButton, {}, QPoint(margin, 5));
        QTest::mouseMove(port, QPoint(margin - 100, 5));
        QTest::mouseRelease(port, Qt::LeftButton, {}, QPoint(margin - 100, 5));
        QCOMPARE(v.view.RightMargin(), 120);
        v.Settle();
        QVERIFY(v.view.LastLine() > lines);
        QVERIFY(!(v.view.State() & sfDragging));
    }

    void rightButtonNeverMovesTheCaret() {
        Viewer v("abc\ndef\n");
        QTest::mouseClick(v.view.viewport(), Qt::RightButton, {}, v.At(2, 1));
        QCOMPARE(v.view.CaretPos(), Pos(0, 0));
        QTest::mouseClick(v.view.viewport(), Qt::LeftButton, {}, v.At(2, 1));
        QCOMPARE(v.view.CaretPos(), Pos(2, 1));
    }

    void clipboardAndFiles() {
        Viewer v("ab\r\ncd\r\nef");
        v.view.SetSelection(Pos(1, 0), Pos(1, 2), TSelModes::smStream);
        QCOMPARE(v.view.SelectionSize(), 8);
        v.view.CopyToClipboard();
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mime->text(), QString("b\r\ncd\r\ne"));
        QVERIFY(!mime->hasFormat(TTextViewer::ColumnTextFormat));

        TTempDir dir;
        v.view.SaveSelectionToFile(dir / "stream.txt");
        QCOMPARE(ReadFile(dir / "stream.txt"), std::string("b\r\ncd\r\ne"));

        Viewer c("abcdef\nab\nabcdefgh\n\n");
        c.view.SetSelection(Pos(1, 0), Pos(4, 3), TSelModes::smColumn);
        const std::string column = "bcd\r\nb\r\nbcd\r\n\r\n";
        QCOMPARE(c.view.GetSelectedText(), column);
        QCOMPARE(c.view.SelectionSize(), (3 + 2) * 4 + 1);
        c.view.CopyToClipboard();
        mime = QGuiApplication::clipboard()->mimeData();
        QCOMPARE(mime->text(), QString::fromStdString(column));
        QCOMPARE(mime->data(TTextViewer::ColumnTextFormat),
                 QByteArray(column.c_str(), static_cast<int>(column.size()) + 1));
        c.view.SaveSelectionToFile(dir / "column.txt");
        QCOMPARE(ReadFile(dir / "column.txt"), column);

        c.view.SetSelection(Pos(1, 0), Pos(1, 0), TSelModes::smStream);
        c.view.SaveSelectionToFile(dir / "empty.txt");
        QCOMPARE(ReadFile(dir / "empty.txt"), std::string());
        c.view.SetSelection(Pos(1, 0), Pos(1, 0), TSelModes::smColumn);
        c.view.SaveSelectionToFile(dir / "empty-column.txt");
        QCOMPARE(ReadFile(dir / "empty-column.txt"), std::string("\r\n"));
        c.view.SetSelection(Pos(1, 0), Pos(1, 0), TSelModes::smNone);
        QCOMPARE(ErrorOf<EUserError>([&] { c.view.SaveSelectionToFile(dir / "none.txt"); }),
                 std::string("no text selected"));
    }

    void findSelectsHitsAndGoesOn() {
        Viewer v("alpha beta alpha gamma ALPHA\n");
        v.view.Find(nullptr, "alpha", frDown);
        QCOMPARE(v.view.SelStartOffset(), 0);
        QVERIFY(v.view.FindNext(nullptr));
        QCOMPARE(v.view.SelStartOffset(), 11);
        QCOMPARE(v.view.CaretPos(), Pos(16, 0));
        QVERIFY(v.view.FindNext(nullptr));
        QCOMPARE(v.view.SelStartOffset(), 23); // any case
        QVERIFY(!v.view.FindNext(nullptr));
        QCOMPARE(v.view.WordAtCaret(), std::string("ALPHA"));
        QVERIFY(v.view.State() & sfSearchSet);
    }

    // Upward from a hit the search goes on to the one before it, for a pattern of any length.
    void findUpwardMovesOnFromTheSelection() {
        Viewer v("a b alpha a alpha b\n");
        for (auto [pattern, hits] : {std::pair{"alpha", std::vector<TTextPos>{12, 4}},
                                     std::pair{"a", std::vector<TTextPos>{16, 12, 10, 8, 4, 0}}}) {
            v.Key(Qt::Key_End, Qt::ControlModifier);
            QVERIFY(v.view.Find(nullptr, pattern, 0));
            QCOMPARE(v.view.SelStartOffset(), hits.front());
            for (size_t i = 1; i < hits.size(); ++i) {
                QVERIFY(v.view.FindNext(nullptr));
                QCOMPARE(v.view.SelStartOffset(), hits[i]);
            }
            QVERIFY(!v.view.FindNext(nullptr));
        }
    }

    void aQuestionAskedWhileBusyTakesKeysInItsPopups() {
        Viewer v("text\n");
        v.view.EnterBusy(1);
        QDialog question(&v.view);
        auto* choice = new QComboBox(&question);
        choice->addItems({"first", "second", "third"});
        QTimer::singleShot(0, &question, [&] {
            choice->showPopup();
            QWidget* popup = QApplication::activePopupWidget();
            QVERIFY(popup);
            QWidget* list = popup->findChild<QAbstractItemView*>();
            QTest::keyClick(list, Qt::Key_Down);
            QTest::keyClick(list, Qt::Key_Return);
            QTest::keyClick(&v.view, Qt::Key_A); // the busy text still takes nothing
            question.accept();
        });
        question.exec();
        v.view.ExitBusy();
        QCOMPARE(choice->currentText(), QString("second"));
        QCOMPARE(v.view.Typed, QString());
    }
};

QTEST_MAIN(InputTest)
#include "InputTest.moc"
