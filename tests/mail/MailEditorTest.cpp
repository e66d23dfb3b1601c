// The mail editor's commands through the editor control: where quoted and encoded lines go, the line
// break they are written with, one undo step each, and what cancelling leaves.

#include "mail/MailEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "ShownView.h"
#include "TestFiles.h"
#include "mail/UUEncoder.h"

namespace fs = std::filesystem;

namespace {

// A mail editor shown `columns` characters wide in a fixed-pitch font, holding `bytes` (read from a
// file, so that its line break is found as on opening).
struct Mail : TShownView<TMailEditor> {
    explicit Mail(const std::string& bytes, TWrapModes mode = TWrapModes::opNone, int columns = 40)
        : TShownView(nullptr, TWrapModes::opNone, 12, columns) {
        view.setFont(QFont("DejaVu Sans Mono", 10));
        WriteFile(dir / "mail.txt", bytes);
        view.SetFileName(dir / "mail.txt");
        Resize(QSize(columns * static_cast<int>(view.CharWidth()) + 1,
                     12 * static_cast<int>(view.LineHeight())));
        view.SetMaxLineLength(columns);
        view.SetWrapMode(mode);
        Settle();
    }
    std::string Text() { return view.Text().GetText(0, view.TextSize()); }
    void Select(TTextPos from, TTextPos to) {
        view.SetSelection(view.OffsetToPos(from), view.OffsetToPos(to), TSelModes::smStream);
    }
    // Esc comes as soon as the next long command starts, and the user answers Yes to abandoning it.
    void EscapeNextCommand() {
        view.OnAbortRequest = [](TLinesViewer&, TModalResult& answer) { answer = TModalResult::mrYes; };
        view.OnProgressEvent = [this](TLinesViewer&, TTextPos done, TTextPos, bool&) {
            if (done == 0) QTest::keyClick(&view, Qt::Key_Escape);
        };
    }
    // The command is one undo step, and typing afterwards makes steps of its own.
    void ExpectOneUndoStep(const std::string& before, const std::string& after) {
        QCOMPARE(Text(), after);
        view.GoToOffset(0, false);
        QTest::keyClicks(&view, "x");
        view.UndoEdit();
        QCOMPARE(Text(), after);
        view.UndoEdit();
        QCOMPARE(Text(), before);
        view.RedoEdit();
        QCOMPARE(Text(), after);
    }
    TTempDir dir;
};

void SetClipboard(const QString& text) {
    auto* mime = new QMimeData;
    mime->setText(text);
    QGuiApplication::clipboard()->setMimeData(mime);
}

// Every line of `text` starts with `quote` and ends (blanks aside) within `columns` characters; there
// are more than `least` lines.
void ExpectLinesWithin(const std::string& text, const std::string& quote, size_t columns, size_t least) {
    size_t lines = 0;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1, ++lines) {
        const std::string line = text.substr(start, end - start);
        QVERIFY2(line.starts_with(quote) && line.find_last_not_of(' ') < columns, line.c_str());
    }
    QVERIFY(lines > least);
}

} // namespace

class MailEditorTest : public QObject {
    Q_OBJECT
private slots:
    void pasteQuoteGoesBeforeTheCaretsHardLineAndWrapsLessTheQuote() {
        Mail m("first\nsecond\n");
        SetClipboard("Hello\nWorld");
        m.view.GoToOffset(8, false);
        m.view.PasteQuote();
        m.ExpectOneUndoStep("first\nsecond\n", "first\n>Hello\n>World\nsecond\n");

        // On the continuation of a wrapped line they go before the whole line, not between its words.
        Mail wrapped("aaaa bbbb\n", TWrapModes::opAbsoluteWrap, 5);
        wrapped.view.GoToOffset(7, false);
        QCOMPARE(wrapped.view.CaretLine(), 1);
        SetClipboard("Hi");
        wrapped.view.PasteQuote();
        QCOMPARE(wrapped.Text(), std::string(">Hi\naaaa bbbb\n"));

        // The lines wrap at the width less the quote's.
        Mail wide("", TWrapModes::opAbsoluteWrap, 40);
        wide.view.SetMailQuote("> ");
        SetClipboard("The quick brown fox jumps over the lazy dog, then rests a while under the old oak "
                     "tree beside the river bank.");
        wide.view.PasteQuote();
        ExpectLinesWithin(wide.Text(), "> ", 40, 2);

        // A selection goes first; an empty clipboard text then inserts nothing.
        Mail s("keep drop keep\n");
        s.Select(5, 10);
        SetClipboard("");
        s.view.PasteQuote();
        QCOMPARE(s.Text(), std::string("keep keep\n"));
    }

    void insertingFilesPlainAndQuoted() {
        Mail m("abc\ndef\n");
        std::string bytes = "line one\nline two \x80\x81\n";
        WriteFile(m.dir / "in.txt", bytes);
        m.view.SetInsertBlockSize(3); // every block edge is met
        m.view.GoToOffset(4, false);
        m.view.InsertFile(m.dir / "in.txt", false);
        QCOMPARE(m.view.CaretOffset(), TTextPos(4 + bytes.size()));
        m.ExpectOneUndoStep("abc\ndef\n", "abc\n" + bytes + "def\n");

        // OEM text comes in converted: 0x80 is C cedilla, 0x81 u umlaut in Windows-1252.
        Mail oem("");
        oem.view.InsertFile(m.dir / "in.txt", true);
        QCOMPARE(oem.Text(), std::string("line one\nline two \xc7\xfc\n"));

        Mail quoted("abc\r\ndef\r\n");
        quoted.view.GoToOffset(5, false);
        quoted.view.InsertFileQuoted(m.dir / "in.txt");
        quoted.ExpectOneUndoStep("abc\r\ndef\r\n", "abc\r\n>line one\r\n>line two \x80\x81\r\ndef\r\n");

        // A file that cannot be read changes nothing.
        Mail missing("abc");
        missing.Select(0, 1);
        QVERIFY_THROWS_EXCEPTION(Exception, missing.view.InsertFileQuoted(m.dir / "none.txt"));
        QVERIFY_THROWS_EXCEPTION(Exception, missing.view.InsertFile(m.dir / "none.txt", false));
        QCOMPARE(missing.Text(), std::string("abc"));
    }

    void lineQuotePrefixReadsTheLineAtTheSelectionOrCaret() {
        Mail m("John> hello\n>> there\n plain\n");
        m.view.GoToOffset(14, false);
        QCOMPARE(m.view.LineQuotePrefix(), std::string(">>"));
        m.Select(2, 16);
        QCOMPARE(m.view.LineQuotePrefix(), std::string("John>"));
    }

    void reformatQuotedTextIsOneStepAndKeepsTheRangeSelected() {
        const std::string before = ">aaa\r\n>bbb\r\n>\r\n>ccc\r\n";
        const std::string after = ">>aaa bbb\r\n>>\r\n>>ccc\r\n";
        Mail m(before);
        m.Select(0, static_cast<TTextPos>(before.size()));
        m.view.ReformatQuoted(">", ">>");
        QCOMPARE(m.view.SelStartOffset(), TTextPos(0));
        QCOMPARE(m.view.SelEndOffset(), TTextPos(after.size()));
        m.ExpectOneUndoStep(before, after);
        try {
            m.view.ReformatQuoted("", ">");
            QFAIL("an empty old quote was taken");
        } catch (const EUserError& error) {
            QCOMPARE(std::string(error.what()), std::string("Old Quote String cannot be empty"));
        }

        // With no selection, from the caret's line on, wrapped at the window's width.
        const std::string words = "> one two three four five six seven eight nine ten\n";
        Mail wide(words + words, TWrapModes::opWrapScreenWidth, 20);
        wide.view.GoToOffset(0, false);
        wide.view.ReformatQuoted(">", ">");
        ExpectLinesWithin(wide.Text(), ">", 20, 4);
    }

    void flowTextKeepsTheCaretAndIsOneStep() {
        const std::string before = "aaa\nbbb\nccc\n\nddd\n";
        Mail m(before);
        m.Select(0, 12);
        m.view.FlowText();
        QCOMPARE(m.view.SelEndOffset(), TTextPos(12)); // where "ddd" began, as far into the text
        m.ExpectOneUndoStep(before, "aaa bbb ccc\n\nddd\n");

        Mail caret(before);
        caret.view.GoToOffset(9, false);
        caret.view.FlowText(); // from the caret's place on: "ccc" is already the paragraph's last line
        QCOMPARE(caret.Text(), std::string("aaa\nbbb\nccc\n\nddd "));
        QCOMPARE(caret.view.CaretOffset(), TTextPos(9));
    }

    void longCommandsAbandonedWithEscChangeNothing() {
        std::string lines;
        for (int i = 0; i < 2000; ++i)
            lines += "> line " + std::to_string(i) + "\n";
        Mail m(lines);
        m.EscapeNextCommand();
        m.view.FlowText();
        QCOMPARE(m.Text(), lines);
        m.Select(0, 100);
        m.view.ReformatQuoted(">", "#");
        QCOMPARE(m.Text(), lines);
        QCOMPARE(m.view.SelEndOffset(), TTextPos(100)); // the selection too
        QCOMPARE(m.view.Text().UndoLevels(), 0);
    }

    void encodingAFileAndDecodingItBack() {
        Mail m("text before\r\nkept selected\r\n");
        std::string bytes(10000, '\0');
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<char>((i * 7919 + i / 3) % 256);
        WriteFile(m.dir / "data.bin", bytes);
        WriteFile(m.dir / "empty.bin", "");
        // Nothing to encode leaves the text and its selection alone.
        m.Select(13, 26);
        QCOMPARE(m.view.EncodeFile(m.dir / "empty.bin", "empty.bin"), TEncodeResult::erEmpty);
        QCOMPARE(m.view.EncodeFile(m.dir / "none.bin", "none.bin"), TEncodeResult::erEmpty);
        QCOMPARE(m.view.SelEndOffset(), TTextPos(26));

        // Cancelled: the text is as it was, with nothing to redo.
        const std::string before = m.Text();
        m.EscapeNextCommand();
        QCOMPARE(m.view.EncodeFile(m.dir / "data.bin", "dir/data.bin"), TEncodeResult::erCancelled);
        QCOMPARE(m.Text(), before);
        QVERIFY(!(m.view.State() & sfCanRedo));
        m.view.OnProgressEvent = nullptr;

        m.view.SetSelection(m.view.CaretPos(), m.view.CaretPos(), TSelModes::smNone);
        m.view.GoToOffset(0, false);
        QCOMPARE(m.view.EncodeFile(m.dir / "data.bin", "dir/data.bin"), TEncodeResult::erDone);
        const std::string encoded = m.Text();
        QVERIFY(encoded.starts_with("Section 1 of data.bin\r\nbegin 644 data.bin\r\nM"));
        QVERIFY(encoded.find("\n", 0) == encoded.find("\r\n") + 1); // the document's CR LF
        QVERIFY(encoded.ends_with("\r\ntext before\r\nkept selected\r\n"));

        fs::create_directories(m.dir / "out");
        int reports = 0;
        m.view.OnStartDecode = [&](TUUDecoder&, std::string& name, bool&) {
            name = (m.dir / "out" / name).string();
        };
        m.view.OnEndDecode = [&](TUUDecoder&, TUdStates state, TUUErrors error, const std::string&) {
            ++reports;
            QCOMPARE(state, TUdStates::FileSummed);
            QCOMPARE(error, ueNone);
        };
        m.view.DecodeText();
        QCOMPARE(reports, 1);
        QCOMPARE(ReadFile(m.dir / "out" / "data.bin"), bytes);
        m.ExpectOneUndoStep(before, encoded);
    }

    void compressingWithAToolBeforeEncoding() {
        Mail m("");
        WriteFile(m.dir / "a b's.txt", "packed text\n");
        // The tool gets each name as one word, whatever it holds; this one copies and tells where to.
        const std::string tool =
            "sh -c 'cp \"$0\" \"$1\" && printf %s \"$1\" > " + (m.dir / "archive").string() + "' &F &Z";
        QCOMPARE(m.view.CompressAndEncode(tool, "zip", m.dir / "a b's.txt"), TEncodeResult::erDone);
        QVERIFY(m.Text().find("begin 644 a b's.zip\n") != std::string::npos);
        const std::string archive = ReadFile(m.dir / "archive");
        QVERIFY2(!archive.empty() && !fs::exists(archive), archive.c_str()); // the archive went
        const std::string text = m.Text();
        QCOMPARE(m.view.CompressAndEncode("zip -9 &F", "zip", m.dir / "a b's.txt"),
                 TEncodeResult::erCompressFailed);
        QCOMPARE(m.view.CompressAndEncode("false &Z &F", "zip", m.dir / "a b's.txt"),
                 TEncodeResult::erCompressFailed);
        QCOMPARE(m.Text(), text);
        m.EscapeNextCommand();
        m.view.OnProgressEvent = nullptr; // a tool reports no progress: Esc comes while it runs
        QTimer::singleShot(100, &m.view, [&m] { QTest::keyClick(&m.view, Qt::Key_Escape); });
        QCOMPARE(m.view.CompressAndEncode("sleep 20; cp &F &Z", "zip", m.dir / "a b's.txt"),
                 TEncodeResult::erCancelled);
        QCOMPARE(m.Text(), text);
    }
};

QTEST_MAIN(MailEditorTest)
#include "MailEditorTest.moc"
