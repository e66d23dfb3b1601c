#include <functional>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QFontDialog>
#include <QFontInfo>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FindDialog.h"
#include "app/ProgressMeter.h"
#include "app/Quorvel.h"

class CommandsTest : public QObject {
    Q_OBJECT
private slots:
    void openFindReplaceAllSaveAndReopen() {
        TTempDir dir;
        WriteFile(dir / "pets.txt", "The cat sat.\r\nA Cat is no dog.\r\nconcatenate\r\n");
        TWindow w;
        AnswerFileDialog((dir / "pets.txt").string());
        w.Key(Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(w.window.CurrentEditor()->FileName(), dir / "pets.txt");

        w.Key(Qt::Key_F, Qt::ControlModifier);
        TFindDialog& find = *w.window.FindDialog();
        QVERIFY(find.isVisible());
        QCOMPARE(find.FindText(), QString("The")); // the word at the caret
        find.SetFindText("cat");
        QTest::mouseClick(Button(find, "&Find Next"), Qt::LeftButton);
        QCOMPARE(w.window.CurrentEditor()->GetSelectedText(), std::string("cat"));

        MenuCommand(w.window, "&Search", "&Replace...")->trigger();
        TFindDialog& replace = *w.window.ReplaceDialog();
        replace.findChildren<QLineEdit*>().at(1)->setText("tiger");
        replace.findChild<QCheckBox*>()->setChecked(true); // whole words only: not "concatenate"
        TScriptedMessages messages({TModalResult::mrOK, TModalResult::mrNo});
        QTest::mouseClick(Button(replace, "Replace &All"), Qt::LeftButton);
        QCOMPARE(messages.Asked, std::vector<std::string>{"2 items replaced"});
        QTest::mouseClick(Button(replace, "Cancel"), Qt::LeftButton);

        w.Key(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(!w.window.CurrentEditor()->Modified());
        w.window.Close();
        w.window.OpenFileInPage(dir / "pets.txt", true);
        const std::string expected = "The tiger sat.\r\nA tiger is no dog.\r\nconcatenate\r\n";
        QCOMPARE(ReadFile(dir / "pets.txt"), expected);
        QCOMPARE(WholeText(*w.window.CurrentEditor()), expected);
    }

    void theOpenDialogTakesSeveralFilesAndTheReadOnlyChoice() {
        TTempDir dir;
        WriteFile(dir / "1.txt", "one");
        WriteFile(dir / "2.txt", "two");
        TWindow w;
        w.window.SetOpenDir((dir / "1.txt").parent_path());
        AnswerFileDialog("\"1.txt\" \"2.txt\"", true);
        MenuCommand(w.window, "&File", "&Open...")->trigger();
        QCOMPARE(w.window.PageCount(), 2); // the second file went to the untitled page
        QCOMPARE(w.window.Page(1)->FileName(), dir / "1.txt");
        QVERIFY(w.window.Page(0)->ReadOnly() && w.window.Page(1)->ReadOnly());
    }

    void savingAnUntitledTextAsksForANameAndAddsTxt() {
        TTempDir dir;
        TWindow w;
        QTest::keyClicks(w.window.CurrentEditor(), "Dear all");
        AnswerFileDialog((dir / "notes").string());
        TScriptedMessages messages({TModalResult::mrNo}); // keep the soft line breaks soft
        w.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(ReadFile(dir / "notes.txt"), std::string("Dear all"));
        QCOMPARE(w.window.windowTitle(), QString("Quorvel - notes.txt"));
    }

    // The desktop's keys run the commands beside the table's keys, and the keys the editor's key table
    // binds stay the editor's. The title shows "*" while the text differs from the file.
    void theDesktopsKeysAndTheModifiedMark() {
        TTempDir dir;
        WriteFile(dir / "k.txt", "one\r\ntwo\r\n");
        TWindow w;
        TFileEditor& editor = *w.window.OpenFileInPage(dir / "k.txt", true);
        w.Key(Qt::Key_X);
        QCOMPARE(w.window.windowTitle(), QString("Quorvel - k.txt *"));
        w.Key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.window.windowTitle(), QString("Quorvel - k.txt"));
        w.Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(WholeText(editor), std::string("xone\r\ntwo\r\n"));
        w.Key(Qt::Key_Y, Qt::ControlModifier); // Delete Line, as the key table has it
        QCOMPARE(WholeText(editor), std::string("two\r\n"));

        const int zoom = editor.Zoom();
        w.Key(Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(editor.Zoom(), zoom + 1);
        w.Key(Qt::Key_Minus, Qt::ControlModifier);
        QCOMPARE(editor.Zoom(), zoom);
        w.Key(Qt::Key_H, Qt::ControlModifier);
        QVERIFY(w.window.ReplaceDialog() && w.window.ReplaceDialog()->isVisible());
        w.window.ReplaceDialog()->close();

        QString asked;
        AnswerModal([&asked](QWidget& dialog) {
            asked = dialog.windowTitle();
            static_cast<QDialog&>(dialog).reject();
        });
        w.Key(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(asked, QString("Save File"));
        w.Key(Qt::Key_N, Qt::ControlModifier);
        QCOMPARE(w.window.PageCount(), 2);
        w.Key(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(w.window.PageCount(), 1);
    }

    void revertGoesBackToTheFileAfterAsking() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "original");
        TWindow w;
        TFileEditor& editor = *w.window.OpenFileInPage(dir / "a.txt", true);
        w.Key(Qt::Key_X);
        TScriptedMessages messages({TModalResult::mrNo, TModalResult::mrYes});
        MenuCommand(w.window, "&File", "&Revert")->trigger();
        QCOMPARE(WholeText(editor), std::string("xoriginal"));
        MenuCommand(w.window, "&File", "&Revert")->trigger();
        QCOMPARE(WholeText(editor), std::string("original"));
        QVERIFY(!editor.Modified());
        QCOMPARE(messages.Asked.at(1), std::string("Revert to Original Text and lose all Changes?"));
    }

    void findAgainRepeatsTheFindDialogsText() {
        TWindow w;
        TFileEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("one two one two three");
        w.window.UpdateCommandStates();
        QAction* findAgain = MenuCommand(w.window, "&Search", "Find &Again");
        QVERIFY(!findAgain->isEnabled());
        w.window.Find();
        w.window.FindDialog()->SetFindText("two");
        QTest::mouseClick(Button(*w.window.FindDialog(), "&Find Next"), Qt::LeftButton);
        QVERIFY(findAgain->isEnabled());
        w.window.Replace();
        w.window.ReplaceDialog()->SetFindText("three");
        QTest::mouseClick(Button(*w.window.ReplaceDialog(), "&Find Next"), Qt::LeftButton);
        w.Key(Qt::Key_Home, Qt::ControlModifier);
        w.Key(Qt::Key_F3);
        QCOMPARE(editor.SelStartOffset(), 4);
        w.Key(Qt::Key_F3);
        QCOMPARE(editor.SelStartOffset(), 12);
        TScriptedMessages messages({TModalResult::mrOK});
        w.Key(Qt::Key_F3);
        QCOMPARE(messages.Asked, std::vector<std::string>{"Text not found"});
    }

    void replaceBlockAndTheCommandsThatNeedAColumn() {
        TWindow w;
        TFileEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("abcd\r\nefgh\r\n");
        QAction* replaceBlock = MenuCommand(w.window, "&Edit", "&Replace Block...");
        QAction* cut = MenuCommand(w.window, "&Edit", "Cu&t");
        editor.SelectAll();
        QVERIFY(cut->isEnabled());
        QVERIFY(!replaceBlock->isEnabled()); // a stream selection
        w.Key(Qt::Key_Home, Qt::ControlModifier);
        w.Key(Qt::Key_Right);
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down}) // a column: "bc" of both lines
            w.Key(key, Qt::AltModifier);
        QTRY_VERIFY(replaceBlock->isEnabled()); // brought up to date when the caret settles
        w.window.BlockReplaceStr = "--";
        AnswerModal([](QWidget& dialog) {
            auto& input = static_cast<QInputDialog&>(dialog);
            QCOMPARE(input.windowTitle(), QString("Replace Block"));
            QCOMPARE(input.textValue(), QString("--"));
            input.setTextValue("XYZ");
            input.accept();
        });
        w.Key(Qt::Key_F9);
        QCOMPARE(WholeText(editor), std::string("aXYZd\r\neXYZh\r\n"));
        QCOMPARE(editor.CaretPos(), (TViewPos{4, 1})); // after the text put into the block's last line
        QCOMPARE(w.window.BlockReplaceStr, std::string("XYZ"));
    }

    // End, Down onto an empty line, Q: the caret comes to that line's end, as the position panel says,
    // and Q starts the line. Let out past line ends, the caret keeps its column, and the panel counts
    // the spaces that typing there fills in.
    void theCaretThePositionPanelAndTypingAgree() {
        TWindow w;
        TFileEditor& editor = *w.window.CurrentEditor();
        auto* position = w.window.statusBar()->findChildren<QLabel*>().at(1);
        for (bool beyondEnds : {false, true}) {
            if (beyondEnds) editor.SetWPMode(false); // the preferences' "Allow Cursor beyond End of Line"
            editor.SetWindowText("first line of text here\r\n\r\nthird line\r\n");
            w.Key(Qt::Key_Home, Qt::ControlModifier);
            w.Key(Qt::Key_End);
            w.Key(Qt::Key_Down);
            QTRY_COMPARE(position->text(), QString("Ln 2 Ch %1 Pg 1/1").arg(beyondEnds ? 23 : 0));
            if (beyondEnds) w.Key(Qt::Key_Right); // on into the space right of the end
            const std::string fill = beyondEnds ? std::string(24, ' ') : "";
            QTRY_COMPARE(position->text(), QString("Ln 2 Ch %1 Pg 1/1").arg(fill.size()));
            QCOMPARE(editor.CaretX(), static_cast<TTextPos>(fill.size()) * editor.CharWidth());
            QTest::keyClicks(&editor, "Q");
            QCOMPARE(WholeText(editor), "first line of text here\r\n" + fill + "Q\r\nthird line\r\n");
            QTRY_COMPARE(position->text(), QString("Ln 2 Ch %1 Pg 1/1").arg(fill.size() + 1));
        }
    }

    // At the window's first size the wrap mode's text is whole; in a window far narrower the panels are
    // cut, side by side, never one over another.
    void statusPanelsFitOrGiveWayWithoutOverlapping() {
        TWindow w;
        const QList<QLabel*> panels = w.window.statusBar()->findChildren<QLabel*>();
        QCOMPARE(panels.size(), 7);
        QLabel& wrap = *panels.at(4);
        QCOMPARE(wrap.text(), QString("Wrap on Window boundaries"));
        QVERIFY(wrap.contentsRect().width() >= wrap.fontMetrics().horizontalAdvance(wrap.text()));
        for (int width : {600, 150}) {
            w.window.resize(width, w.window.height());
            QTRY_COMPARE(w.window.width(), width);
            QTRY_VERIFY(panels.back()->geometry().right() < w.window.statusBar()->width());
            for (int i = 1; i < panels.size(); ++i)
                QVERIFY2(panels.at(i - 1)->geometry().right() < panels.at(i)->geometry().left(),
                         qPrintable(QString("panels %1 and %2 at %3 px").arg(i - 1).arg(i).arg(width)));
        }
    }

    void wrapModesHintsFontProgressAndTheLocalMenu() {
        TWindow w;
        TFileEditor& editor = *w.window.CurrentEditor();
        auto* wrapPanel = w.window.statusBar()->findChildren<QLabel*>().at(4);
        QCOMPARE(wrapPanel->text(), QString("Wrap on Window boundaries"));
        w.Key(Qt::Key_F8);
        QCOMPARE(editor.WrapMode(), TWrapModes::opAbsoluteWrap);
        QCOMPARE(wrapPanel->text(), QString("76 Characters Max. Line Length"));
        w.Key(Qt::Key_F8);
        w.Key(Qt::Key_F8);
        QCOMPARE(editor.WrapMode(), TWrapModes::opNone);
        QAction* down = nullptr;
        for (QAction* action : w.window.findChildren<QAction*>()) // the wrap buttons' one held down
            if (action->isCheckable() && action->isChecked() && action->text() != "&UTF-8") down = action;
        QCOMPARE(down->text(), QString("Wrap on Line Breaks"));

        editor.SetWindowText("zoom me");
        const TTextPos height = editor.LineHeight(); // the window's font is given in pixels
        w.Key(Qt::Key_I, Qt::ControlModifier);
        QVERIFY(editor.LineHeight() > height * 3 / 2);
        w.Key(Qt::Key_K, Qt::ControlModifier);
        QCOMPARE(editor.LineHeight(), height); // where zooming stops, the viewer test checks

        QAction* find = MenuCommand(w.window, "&Search", "&Find...");
        find->hover();
        QCOMPARE(w.window.statusBar()->findChildren<QLabel*>().at(0)->text(), QString("Search for text"));

        QString offered;
        AnswerModal([&](QWidget& dialog) {
            auto& fonts = static_cast<QFontDialog&>(dialog);
            QFont font = fonts.currentFont();
            offered = font.family();
            font.setPointSize(31);
            fonts.setCurrentFont(font);
            fonts.accept();
        });
        const QString shown = QFontInfo(editor.font()).family(); // the window asks for a family it may lack
        MenuCommand(w.window, "Forma&t", "&Font...")->trigger();
        QCOMPARE(offered, shown);
        QCOMPARE(std::lround(QFontInfo(editor.font()).pointSizeF()),
                 31L); // kept in pixels, as the settings are

        auto* meter = w.window.findChild<TProgressMeter*>();
        bool cancel = true;
        editor.OnProgressEvent(editor, 1, 2, cancel);
        QCOMPARE(meter->Position(), 50);
        editor.OnProgressEvent(editor, 2, 3, cancel);
        QCOMPARE(meter->Position(), 66);
        QVERIFY(!cancel);

        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                                editor.viewport()->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(editor.viewport(), &click);
        QMenu* local = nullptr;
        QTRY_VERIFY((local = qobject_cast<QMenu*>(QApplication::activePopupWidget())));
        QCOMPARE(local->actions().front()->text(), QString("C&lose Page"));
        local->close();
    }
};

QTEST_MAIN(CommandsTest)
#include "CommandsTest.moc"
