// What the editor gives the clipboard: a stream as a snapshot read only when someone asks for it,
// which keeps the text as copied whatever happens to the document, and pastes back without a copy.

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "ShownView.h"
#include "TestFiles.h"
#include "editor/BigEditor.h"
#include "editor/ClipboardText.h"

class ClipboardTest : public QObject {
    Q_OBJECT
private slots:
    void aCopyIsTheTextAsCopiedUntilSomeoneAsks() {
        TShownView<TBigEditor> e(EditOver("caf\xe9 one two"), TWrapModes::opNone, 5, 30);
        e.view.Text().InsertString("\x80", 0); // typed: a part held in memory
        e.view.SetSelection({0, 0}, {9, 0}, TSelModes::smStream);
        e.view.CopyToClipboard();
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(qobject_cast<const TClipboardText*>(mime));
        QCOMPARE(mime->formats(), QStringList{"text/plain"});

        e.view.SelectAll();
        e.Key(Qt::Key_Delete);
        QTest::keyClicks(&e.view, "xy");
        QCOMPARE(mime->text(), QString::fromUtf8("\u20accaf\u00e9 one"));
        QCOMPARE(mime->data("text/plain"), QString::fromUtf8("\u20accaf\u00e9 one").toUtf8());

        e.Key(Qt::Key_Home);
        e.Key(Qt::Key_V, Qt::ControlModifier); // the bytes go back as they were, however many
        const std::string bytes = e.view.Text().GetText(0, e.view.TextSize());
        QCOMPARE(QByteArray::fromStdString(bytes), QByteArray("\x80"
                                                              "caf\xe9 onexy"));
        QCOMPARE(e.view.SelEndOffset(), 9);
        e.view.UndoEdit();
        QCOMPARE(e.view.TextSize(), 2);
    }

    // Bytes go as they are only into a text of the same set; another takes the characters.
    void aCopyPastedIntoATextOfAnotherSetIsConverted() {
        TShownView<TBigEditor> utf8(EditOver("caf\xc3\xa9"), TWrapModes::opNone, 5, 30);
        utf8.view.Text().SetCharSet(TCharSets::csUtf8);
        utf8.view.SelectAll();
        utf8.view.CopyToClipboard();
        QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromUtf8("caf\u00e9"));
        TShownView<TBigEditor> latin(EditOver(""), TWrapModes::opNone, 5, 30);
        latin.Key(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(QByteArray::fromStdString(latin.view.Text().GetText(0, latin.view.TextSize())),
                 QByteArray("caf\xe9"));
    }

    // A rectangle goes out at once, in its own format beside plain text.
    void aColumnIsCopiedAsItsBytes() {
        TShownView<TBigEditor> e(EditOver("abcd\r\nefgh\r\n"), TWrapModes::opNone, 5, 30);
        e.view.SetSelection({1, 0}, {3, 1}, TSelModes::smColumn);
        e.view.CopyToClipboard();
        const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
        QVERIFY(!qobject_cast<const TClipboardText*>(mime));
        QCOMPARE(mime->text(), QString("bc\r\nfg\r\n"));
        QCOMPARE(mime->data(TTextViewer::ColumnTextFormat), QByteArray("bc\r\nfg\r\n", 9));
    }
};

QTEST_MAIN(ClipboardTest)
#include "ClipboardTest.moc"
