#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "ErrorOf.h"
#include "ScriptedMessages.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/FileEditor.h"

namespace {

struct Editor : TShownView<TBigEditor> {
    explicit Editor(const std::string& bytes, TWrapModes mode = TWrapModes::opNone, int rows = 10,
                    int columns = 40)
        : TShownView(EditOver(bytes), mode, rows, columns) {}
    QByteArray Bytes() {
        const std::string bytes = view.Text().GetText(0, view.TextSize());
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
    void Type(const char* text) { QTest::keyClicks(&view, text); }
    // Characters no key of the test's keyboard makes, as an input method hands them over.
    void TypeUnicode(const QString& text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QApplication::sendEvent(&view, &press);
    }
    void Undo() { Key(Qt::Key_Backspace, Qt::AltModifier); }
    void Click(TTextPos ch, TTextPos line, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, modifiers, At(ch, line));
    }
    // Drags the selection from one character cell to another, the way a user does: the pointer
    // rests on the selection first.
    void Drag(TViewPos from, TViewPos to, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* port = view.viewport();
        QTest::mouseMove(port, At(from.Char, from.Line));
        QTest::mousePress(port, Qt::LeftButton, {}, At(from.Char, from.Line));
        QTest::mouseMove(port, At(to.Char, to.Line));
        QTest::mouseRelease(port, Qt::LeftButton, modifiers, At(to.Char, to.Line));
    }
};

void SetClipboard(const QString& text, const QByteArray& column = {}) {
    auto* mime = new QMimeData;
    mime->setText(text);
    if (!column.isEmpty()) mime->setData(TTextViewer::ColumnTextFormat, column);
    QGuiApplication::clipboard()->setMimeData(mime);
}

} // namespace

class EditingTest : public QObject {
    Q_OBJECT
private slots:
    void typingInOverwriteModeAndRightOfALinesEnd() {
        Editor e("ab\r\ncd");
        e.Key(Qt::Key_Insert);
        QVERIFY(!e.view.InsertOn());
        e.Type("Q");
        e.Key(Qt::Key_End);
        e.Type("x"); // the line break is never overwritten
        e.Key(Qt::Key_End, Qt::ControlModifier);
        e.Type("y");
        QCOMPARE(e.Bytes(), QByteArray("Qbx\r\ncdy"));
        e.Key(Qt::Key_Insert);
        e.Click(6, 0); // a quarter into the cell: the caret stands on its left edge, where z goes
        QCOMPARE(e.view.CaretX(), 6 * e.view.CharWidth());
        QCOMPARE(e.view.CaretColumn(), 6);
        e.Type("z");
        e.Key(Qt::Key_S, Qt::AltModifier); // a menu's key, never text; Ctrl with Alt is AltGr
        QTest::keyClick(&e.view, Qt::Key_At, Qt::ControlModifier | Qt::AltModifier);
        QCOMPARE(e.Bytes(), QByteArray("Qbx   z@\r\ncdy"));
        QCOMPARE(e.view.CaretOffset(), 8);
    }

    void aReadOnlyTextRefusesEveryEdit() {
        TScriptedMessages messages;
        Editor e("ab\r\ncd");
        e.view.SetReadOnly(true);
        e.Type("x");
        // The commands that delete by selecting first leave no selection behind.
        e.Key(Qt::Key_Y, Qt::ControlModifier);
        e.Key(Qt::Key_T, Qt::ControlModifier);
        for (Qt::Key second : {Qt::Key_D, Qt::Key_S}) { // the quick key, then to the line's end or start
            e.Key(Qt::Key_Q, Qt::ControlModifier);
            e.Key(second);
        }
        QCOMPARE(e.view.SelMode(), TSelModes::smNone);
        QCOMPARE(e.Bytes(), QByteArray("ab\r\ncd"));
        QCOMPARE(messages.Asked, std::vector<std::string>(5, "Write protected!"));
        int told = 0;
        e.view.SetOnWriteProtect([&told](TEditStream&) { ++told; });
        e.Key(Qt::Key_Delete);
        QCOMPARE(told, 1);
        QCOMPARE(e.Bytes(), QByteArray("ab\r\ncd"));
    }

    void backspaceJoinsLinesAndUndoRestoresTheCaret() {
        Editor hard("ab\r\ncd");
        hard.Key(Qt::Key_Down);
        hard.Key(Qt::Key_Backspace);
        QCOMPARE(hard.Bytes(), QByteArray("abcd"));
        hard.Key(Qt::Key_Home);
        hard.Key(Qt::Key_Backspace); // at the start of the text: refused
        QCOMPARE(hard.Bytes(), QByteArray("abcd"));

        Editor soft("abcdefghij", TWrapModes::opWrapScreenWidth, 10, 4);
        QCOMPARE(soft.view.WalkLength(), 4); // some line is laid out four wide
        soft.Key(Qt::Key_Down);
        QCOMPARE(soft.view.CaretOffset(), 4);
        soft.Key(Qt::Key_Backspace);
        QCOMPARE(soft.Bytes(), QByteArray("abcefghij"));
        soft.Undo();
        QCOMPARE(soft.Bytes(), QByteArray("abcdefghij"));
        QCOMPARE(soft.view.CaretOffset(), 4);
    }

    // Delete at a line's end takes its break whole: CR LF together, a lone LF or CR alone.
    void deleteTakesALineBreakWhole() {
        Editor e("ab\ncd\r\nef\rgh\n");
        e.Key(Qt::Key_End);
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), QByteArray("abcd\r\nef\rgh\n"));
        e.Key(Qt::Key_End);
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), QByteArray("abcdef\rgh\n"));
        e.Key(Qt::Key_Right, Qt::ControlModifier); // to the lone CR, an ordinary character
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), QByteArray("abcdefgh\n"));
    }

    // An edit on the first line of a page lays the text out again from the line before it, on the page
    // before: the page numbers stay those of a fresh layout of the same text.
    void pageNumbersAfterAnEditAtAPagesStart() {
        std::string text;
        for (int i = 0; i < 300; ++i)
            text += i == 150 ? "\f" : "line\n";
        for (TTextPos line : {66, 67, 150, 151, 217}) {
            Editor e(text);
            e.view.SetCaretLine(line);
            e.Type("x");
            e.Settle();
            Editor fresh(e.Bytes().toStdString());
            fresh.view.SetCaretLine(line);
            QCOMPARE(e.view.PageCount(), fresh.view.PageCount());
            QCOMPARE(e.view.CaretPage(), fresh.view.CaretPage());
        }
    }

    void deletingLinesWordsAndLineParts() {
        Editor e("ab\r\ncd\r\n_x9 end");
        e.Key(Qt::Key_Down);
        e.Key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(e.Bytes(), QByteArray("ab\r\n_x9 end"));
        e.Key(Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(e.Bytes(), QByteArray("ab\r\n end"));
        e.Key(Qt::Key_T, Qt::ControlModifier); // on a space: refused
        QCOMPARE(e.Bytes(), QByteArray("ab\r\n end"));
        e.Key(Qt::Key_Right, Qt::ShiftModifier);
        e.Key(Qt::Key_Right, Qt::ShiftModifier);
        e.Key(Qt::Key_Q, Qt::ControlModifier);
        e.Key(Qt::Key_S); // to the line's start, from the selection's end
        QCOMPARE(e.Bytes(), QByteArray("ab\r\nnd"));
        e.Key(Qt::Key_Y, Qt::ControlModifier); // the last line: its break before it stays
        QCOMPARE(e.Bytes(), QByteArray("ab\r\n"));
        e.Key(Qt::Key_Home);
        e.Key(Qt::Key_Right);
        e.Key(Qt::Key_Q, Qt::ControlModifier);
        e.Key(Qt::Key_D);
        QCOMPARE(e.Bytes(), QByteArray("a\r\n"));
    }

    void capitaliseWordsCyclesThroughThreeCases() {
        TScriptedMessages messages;
        Editor e("hello world 1st");
        e.Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        e.Key(Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        e.Key(Qt::Key_Left, Qt::ShiftModifier); // "hello world" selected
        for (const char* expected : {"Hello World 1st", "HELLO WORLD 1st", "hello world 1st"}) {
            e.view.CapitaliseWords();
            QCOMPARE(e.Bytes(), QByteArray(expected));
            QCOMPARE(e.view.SelEndOffset(), 11);
        }
        e.Key(Qt::Key_End);
        e.Key(Qt::Key_Left);
        e.view.CapitaliseWords(); // 1st starts with no letter
        QCOMPARE(e.Bytes(), QByteArray("hello world 1st"));
        e.Undo();
        QCOMPARE(e.Bytes(), QByteArray("HELLO WORLD 1st"));
    }

    void replaceBlockIsOneUndoStep() {
        Editor e("abcdef\r\nghijkl\r\nmnopqr");
        e.Key(Qt::Key_Right);
        for (int i = 0; i < 3; ++i)
            e.Key(Qt::Key_Right, Qt::AltModifier);
        for (int i = 0; i < 2; ++i)
            e.Key(Qt::Key_Down, Qt::AltModifier);
        e.view.ReplaceBlock("--", false);
        QCOMPARE(e.Bytes(), QByteArray("a--ef\r\ng--kl\r\nm--qr"));
        e.Undo();
        QCOMPARE(e.Bytes(), QByteArray("abcdef\r\nghijkl\r\nmnopqr"));
    }

    // A column pasted at the text's end adds the lines it needs, ended with the text's own line break
    // whichever the block's lines end with; it is one undo step and is not left selected.
    void pastingColumnsAtAndNearTheEnd() {
        for (const QByteArray& eol : {QByteArray("\n"), QByteArray("\r\n")})
            for (const QByteArray& block : {QByteArray("12\r\n34\r\n"), QByteArray("12\n34\n")}) {
                SetClipboard(QString::fromLatin1(block), block);
                Editor e(("xy" + eol + "abc").toStdString());
                e.Key(Qt::Key_End, Qt::ControlModifier);
                e.Key(Qt::Key_V, Qt::ControlModifier);
                QCOMPARE(e.Bytes(), "xy" + eol + "abc12" + eol + "   34" + eol);
                QCOMPARE(e.view.State() & sfSelection, 0u);
                e.Undo();
                QCOMPARE(e.Bytes(), "xy" + eol + "abc");
            }

        SetClipboard("12\r\n34\r\n56\r\n", "12\r\n34\r\n56\r\n");
        Editor nearEnd("xy\r\nabcd");
        nearEnd.Click(2, 1);
        nearEnd.Key(Qt::Key_Insert, Qt::ShiftModifier);
        QCOMPARE(nearEnd.Bytes(), QByteArray("xy\r\nab12cd\r\n  34\r\n  56\r\n"));
    }

    // Enter and a replacement's ^p write the text's own line break; an untitled text's is LF.
    void lineBreaksMadeAreTheTextsOwn() {
        for (const QByteArray& eol : {QByteArray("\n"), QByteArray("\r\n")}) {
            Editor e(("ab" + eol + "cd").toStdString());
            e.Key(Qt::Key_Right);
            e.Key(Qt::Key_Return);
            QCOMPARE(e.Bytes(), "a" + eol + "b" + eol + "cd");
            QCOMPARE(e.view.CaretOffset(), 1 + eol.size());

            Editor replaced(("a;b" + eol).toStdString());
            replaced.view.Replace(nullptr, ";", TFindOptions(frDown) | frReplaceAll, "^p");
            QCOMPARE(replaced.Bytes(), "a" + eol + "b" + eol);
        }
        Editor untitled("");
        untitled.Key(Qt::Key_Return);
        QCOMPARE(untitled.Bytes(), QByteArray("\n"));
    }

    // Windows-1252 text refuses a character it cannot hold, saying which; UTF-8 text takes any and
    // gives other programs the characters, not the bytes.
    void charactersComeAndGoInTheTextsSet() {
        Editor e("ab");
        SetClipboard("\u2603 \u65E5\u672C");
        QCOMPARE(ErrorOf<EUserError>([&] { e.view.PasteClipboard(); }),
                 "\"\u2603\" (U+2603) cannot be written in Windows-1252 text; nothing was changed");
        e.TypeUnicode("\u00EB\u20AC");
        QCOMPARE(e.Bytes(), QByteArray("\xEB\x80" "ab"));

        Editor utf8("ab");
        utf8.view.Text().SetCharSet(TCharSets::csUtf8);
        utf8.TypeUnicode("Zo\u00EB\u20AC\u00DF");
        utf8.view.PasteClipboard();
        QCOMPARE(utf8.Bytes(), QByteArray("Zo\xC3\xAB\xE2\x82\xAC\xC3\x9F" "\xE2\x98\x83 \xE6\x97\xA5\xE6\x9C\xAC" "ab"));
        utf8.view.SelectAll();
        utf8.view.CopyToClipboard();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString("Zo\u00EB\u20AC\u00DF\u2603 \u65E5\u672C" "ab"));
    }

    void pastingTextSelectsItAndAnEmptyClipboardIsRefused() {
        QVERIFY(Editor("").view.State() & sfClipboardText); // left by the previous case
        SetClipboard("new");
        Editor e("old text");
        e.Key(Qt::Key_Right, Qt::ShiftModifier);
        e.Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(e.Bytes(), QByteArray("newld text"));
        QCOMPARE(e.view.SelStartOffset(), 0);
        QCOMPARE(e.view.SelEndOffset(), 3);
        QCOMPARE(e.view.CaretOffset(), 3);

        QGuiApplication::clipboard()->clear();
        QVERIFY(!(e.view.State() & sfClipboardText));
        TScriptedMessages messages;
        e.Key(Qt::Key_V, Qt::ControlModifier); // the selection goes first
        QCOMPARE(e.Bytes(), QByteArray("ld text"));
        QCOMPARE(messages.Asked, std::vector<std::string>{"Clipboard is empty"});
        e.Key(Qt::Key_X, Qt::ControlModifier); // Cut without a selection
        QCOMPARE(e.Bytes(), QByteArray("ld text"));
    }

    void replaceHonoursMatchCase() {
        Editor e("Hello hello");
        const auto options = TFindOptions(frDown) | frReplace;
        e.view.SetSelection({0, 0}, {5, 0}, TSelModes::smStream);
        QVERIFY(e.view.Replace(nullptr, "hello", options | frMatchCase, "bye"));
        QCOMPARE(e.Bytes(), QByteArray("Hello hello"));
        QCOMPARE(e.view.SelStartOffset(), 6); // the next match, found instead
        e.view.SetSelection({0, 0}, {5, 0}, TSelModes::smStream);
        QVERIFY(e.view.Replace(nullptr, "hello", options, "bye"));
        QCOMPARE(e.Bytes(), QByteArray("bye hello"));
        QCOMPARE(e.view.SelStartOffset(), 4);
    }

    void replaceAllIsOneUndoStep() {
        Editor e("a.a.a.a.a.");
        TTextPos reported = -1;
        e.view.OnReplaceAll = [&](TBigEditor&, TTextPos count) {
            reported = e.view.State() & sfBusy ? -2 : count; // its message must be answerable
        };
        e.view.Replace(nullptr, "a", TFindOptions(frDown) | frReplaceAll, "bb");
        QCOMPARE(reported, 5);
        QCOMPARE(e.Bytes(), QByteArray("bb.bb.bb.bb.bb."));
        e.Undo();
        QCOMPARE(e.Bytes(), QByteArray("a.a.a.a.a."));
    }

    void replaceAllFarAcrossTheTextLeavesTheCaretOnAnEstimatedLine() {
        // Long lines, then the second match, then many short lines: a line number in proportion to
        // the bytes is far from the true one.
        std::string text = "a\r\n";
        for (int i = 0; i < 2000; ++i)
            text += std::string(198, 'x') + "\r\n";
        const auto second = static_cast<TTextPos>(text.size());
        text += "a\r\n";
        for (int i = 0; i < 30000; ++i)
            text += "x\r\n";
        Editor e(text);
        e.view.Replace(nullptr, "a", TFindOptions(frDown) | frReplaceAll, "b");
        QCOMPARE(e.view.CaretOffset(), second + 1);
        QVERIFY(e.view.CaretLine() > 20000); // placed by estimate, not laid out line by line
        e.Settle();
        QCOMPARE(e.view.CaretLine(), 2001);
        QCOMPARE(e.view.CaretOffset(), second + 1);
    }

    void savingWithHardLineBreaksKeepsTheCaretOnItsText() {
        TTempDir dir;
        const auto name = dir / "wrapped.txt";
        WriteFile(name, "one two three four\r\n");
        TShownView<TFileEditor> e(nullptr, TWrapModes::opWrapScreenWidth, 10, 10);
        e.view.SetFileName(name);
        e.Settle();
        e.view.GoToOffset(14, false);
        e.Key(Qt::Key_Right, Qt::ShiftModifier);
        QTest::keyClicks(&e.view, "F");
        QVERIFY(e.view.Modified());
        e.view.Document().SetSaveMode(TSaveMode::smLineBreaks);
        e.view.Save(name);
        const std::string saved = ReadFile(name);
        QVERIFY(saved.find("\r\nthree ") != std::string::npos); // the soft breaks became hard ones
        QCOMPARE(e.view.Text().GetText(0, e.view.TextSize()), saved);
        QCOMPARE(e.view.Text().GetText(e.view.CaretOffset() - 1, 4), std::string("Four"));
        QVERIFY(!e.view.Modified());
    }

    // Select All, by command and by a double click in the left margin, takes every byte: the final line
    // break too, also where the text's last line is a wrapped one.
    void selectAllTakesTheWholeText() {
        for (const std::string text : {"one\ntwo\n", "one\r\ntwo\r\n", "one\ntwo", "words words words\n"})
            for (bool margin : {false, true}) {
                Editor e(text, TWrapModes::opWrapScreenWidth, 10, 8);
                e.view.SetLeftMargin(e.view.CharWidth());
                if (margin)
                    QTest::mouseDClick(e.view.viewport(), Qt::LeftButton, {}, QPoint(1, 1));
                else
                    e.view.SelectAll();
                QCOMPARE(QString::fromStdString(e.view.GetSelectedText()), QString::fromStdString(text));
                e.Key(Qt::Key_Delete);
                QCOMPARE(e.view.TextSize(), 0);
            }
    }

    // Saving binds the file again: the editor's state flags describe the text as saved, so the commands
    // they enable (Select All, Find, Zoom ...) stay enabled.
    void theStateAfterASaveInPlace() {
        TTempDir dir;
        const auto name = dir / "empty lines.txt";
        WriteFile(name, std::string(1000, '\n'));
        TShownView<TFileEditor> e(nullptr, TWrapModes::opNone, 10, 10);
        e.view.SetFileName(name);
        e.view.Document().SetSaveMode(TSaveMode::smParagraph);
        e.Key(Qt::Key_Delete);
        e.view.Save(name);
        QCOMPARE(e.view.State() & (sfEmpty | sfModified), 0u);
        e.view.SelectAll();
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.view.TextSize(), 0);
        QCOMPARE(e.view.State() & sfEmpty, unsigned(sfEmpty));
    }

    // A press on the selection may start a drag; released where it was pressed it is a click, and the
    // clicks still count: word, display line, paragraph.
    void clickCountsOverTheSelectionSelectWordLineAndParagraph() {
        for (bool tripleClick : {false, true}) {
            Editor e("one two three four five six seven\neight\n", TWrapModes::opWrapScreenWidth, 10, 12);
            e.view.SetTripleClick(tripleClick);
            QWidget* port = e.view.viewport();
            const QPoint word = e.At(5, 0); // in "two"
            // A double click as the system reports it: press, release, double click, release.
            auto doubleClick = [port, word] {
                QTest::mouseDClick(port, Qt::LeftButton, {}, word);
                QTest::mouseRelease(port, Qt::LeftButton, {}, word);
            };
            doubleClick();
            QCOMPARE(e.view.SelMode(), TSelModes::smWords);
            QCOMPARE(e.view.SelStart(), (TViewPos{4, 0}));
            QCOMPARE(e.view.SelEnd(), (TViewPos{7, 0}));
            QTest::mouseClick(port, Qt::LeftButton, {}, word);
            if (tripleClick) {
                QCOMPARE(e.view.GetSelectedText(), std::string("one two three four five six seven\n"));
                continue;
            }
            QCOMPARE(e.view.GetSelectedText(), std::string("one two ")); // the display line
            doubleClick();
            QCOMPARE(e.view.GetSelectedText(), std::string("one two three four five six seven\n"));
            e.Type("Z");
            QCOMPARE(e.Bytes(), QByteArray("Zeight\n"));
        }
    }

    void draggingTheSelection() {
        Editor e("one two three");
        e.view.SetSelection({4, 0}, {7, 0}, TSelModes::smStream);
        e.Drag({5, 0}, {6, 0}); // inside itself: a click
        QCOMPARE(e.Bytes(), QByteArray("one two three"));
        QCOMPARE(e.view.State() & sfSelection, 0u);

        e.view.SetSelection({4, 0}, {7, 0}, TSelModes::smStream);
        e.Drag({5, 0}, {13, 0}, Qt::ControlModifier);
        QCOMPARE(e.Bytes(), QByteArray("one two threetwo"));
        QCOMPARE(e.view.SelStartOffset(), 13);
        QCOMPARE(e.view.SelEndOffset(), 16);
        e.Undo();
        QCOMPARE(e.Bytes(), QByteArray("one two three"));

        e.view.SetSelection({0, 0}, {3, 0}, TSelModes::smStream);
        e.Drag({1, 0}, {8, 0}); // before "three", as it stood before the move
        QCOMPARE(e.Bytes(), QByteArray(" two onethree"));
        e.Undo();
        QCOMPARE(e.Bytes(), QByteArray("one two three"));
    }
};

QTEST_MAIN(EditingTest)
#include "EditingTest.moc"
