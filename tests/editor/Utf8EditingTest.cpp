// Editing UTF-8 text by characters: random sessions in every wrap mode, checked after every step for a
// caret or selection end inside a character's sequence and against a fresh layout, then undone as a
// whole; and the commands that take characters one by one or word by word.

#include <random>
#include <utility>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "SameLayout.h"
#include "RandomSession.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/BigEditor.h"

namespace {

template <typename TText> std::unique_ptr<TText> InUtf8(std::unique_ptr<TText> text) {
    text->SetCharSet(TCharSets::csUtf8);
    return text;
}

struct Editor : TShownView<TBigEditor> {
    explicit Editor(const std::string& bytes, TWrapModes mode = TWrapModes::opNone, int rows = 10,
                    int columns = 40)
        : TShownView(InUtf8(EditOver(bytes)), mode, rows, columns) {}
    // Characters as an input method hands them over.
    void Type(const char* utf8) {
        QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, QString::fromUtf8(utf8), Qt::NoModifier);
    }
    QByteArray Bytes() {
        const std::string bytes = view.Text().GetText(0, view.TextSize());
        return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
    }
};

// Characters of one to four bytes, words of three scripts, spaces, line breaks, and the bytes that make
// no character: a stray continuation byte and sequences cut short.
const std::string kPieces[] = {"a",
                               "word",
                               " ",
                               " ",
                               "\xC3\xA9",
                               "\xE6\x97\xA5\xE6\x9C\xAC",
                               "\xF0\x9F\x98\x80",
                               "\xD0\xBF\xD1\x80\xD0\xB8",
                               "\x80",
                               "\xE2\x82",
                               "\xF0\x9F\x98",
                               "\xC3",
                               "\r\n",
                               "\n",
                               "\t",
                               "."};
// What a user types or pastes: whole characters only.
const char* const kTyped[] = {"a", " ", "\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80", "\xD0\xB8", "x_1"};

// A double click as the system reports it: press, release, double click, release.
void DoubleClick(QWidget* port, QPoint at) {
    QTest::mouseClick(port, Qt::LeftButton, {}, at);
    QTest::mouseDClick(port, Qt::LeftButton, {}, at);
    QTest::mouseRelease(port, Qt::LeftButton, {}, at);
}

const std::vector<TKeyStroke>& Strokes() {
    static const std::vector<TKeyStroke> strokes = [] {
        std::vector<TKeyStroke> list;
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Left, Qt::Key_Right, Qt::Key_Up,
                            Qt::Key_Down, Qt::Key_Home, Qt::Key_End})
            for (Qt::KeyboardModifiers modifiers : std::initializer_list<Qt::KeyboardModifiers>{
                     Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier,
                     Qt::ControlModifier | Qt::ShiftModifier})
                list.push_back({key, modifiers});
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, alt = Qt::AltModifier;
        for (TKeyStroke stroke : std::initializer_list<TKeyStroke>{{Qt::Key_Backspace, {}},
                                                                   {Qt::Key_Backspace, {}},
                                                                   {Qt::Key_Delete, {}},
                                                                   {Qt::Key_Delete, {}},
                                                                   {Qt::Key_Return, {}},
                                                                   {Qt::Key_Insert, {}},
                                                                   {Qt::Key_T, ctrl},
                                                                   {Qt::Key_X, ctrl},
                                                                   {Qt::Key_V, ctrl},
                                                                   {Qt::Key_Backspace, alt},
                                                                   {Qt::Key_PageDown, {}},
                                                                   {Qt::Key_PageUp, {}}})
            list.push_back(stroke);
        return list;
    }();
    return strokes;
}

class TSession {
public:
    TSession(unsigned seed, TWrapModes mode)
        : m_Random(seed), m_Original(RandomText(Pick(0, 400))),
          m_Editor(InUtf8(EditOver(m_Original, 64)), mode, kRows, kColumns),
          m_Fresh(InUtf8(TextOver("")), mode, kRows, kColumns) {
        QGuiApplication::clipboard()->clear();
        for (TTextViewer* view : {static_cast<TTextViewer*>(&m_Editor.view), &m_Fresh.view})
            view->SetMaxLineLength(kColumns - 3);
        m_Editor.view.SetMaxUndoLevels(1 << 20);
        m_Editor.view.SetBeepOn(false);
        m_Editor.view.SetWPMode(seed % 2 == 0); // the caret kept inside lines, at a column from another
    }

    QString Step(int index) {
        const QString last = Act();
        const QString fault = Fault();
        return fault.isEmpty() ? fault : QString("step %1 (%2): %3").arg(index).arg(last, fault);
    }

    QString UndoEverything() {
        TEditStream& text = m_Editor.view.Text();
        while (text.UndoLevels() > 0)
            m_Editor.view.UndoEdit();
        if (Bytes() != m_Original) return "undoing everything did not give the original";
        return Fault();
    }

private:
    static constexpr int kRows = 6, kColumns = 16;

    TTextPos Pick(TTextPos low, TTextPos high) {
        return std::uniform_int_distribution<TTextPos>(low, high)(m_Random);
    }
    template <typename T, size_t N> const T& PickOf(const T (&items)[N]) {
        return items[Pick(0, static_cast<TTextPos>(N) - 1)];
    }

    std::string RandomText(TTextPos size) {
        std::string text;
        while (static_cast<TTextPos>(text.size()) < size)
            text += PickOf(kPieces);
        return text;
    }

    std::string Bytes() { return AllBytes(m_Editor.view); }

    QPoint RandomPoint() {
        return m_Editor.At(Pick(0, kColumns + 2), m_Editor.view.TopLine() + Pick(0, kRows - 1));
    }

    QString Act() {
        TBigEditor& view = m_Editor.view;
        QWidget* port = view.viewport();
        const int kind = static_cast<int>(Pick(0, 99));
        if (kind < 60) {
            return Press(view, Strokes()[static_cast<size_t>(Pick(0, std::ssize(Strokes()) - 1))]);
        }
        if (kind < 78) {
            const QString typed = QString::fromUtf8(PickOf(kTyped));
            QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown, typed, Qt::NoModifier);
            return "typing " + typed;
        }
        if (kind < 84) {
            auto* mime = new QMimeData;
            mime->setText(QString::fromUtf8(PickOf(kTyped)) + QString::fromUtf8(PickOf(kTyped)) + "\n" +
                          QString::fromUtf8(PickOf(kTyped)));
            QGuiApplication::clipboard()->setMimeData(mime);
            QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
            return "paste";
        }
        if (kind < 96) {
            const auto modifiers = Pick(0, 2) == 0 ? Qt::AltModifier : Qt::NoModifier;
            const QPoint from = RandomPoint(), to = RandomPoint();
            if (Pick(0, 3) != 0) return Drag(port, from, to, modifiers, modifiers);
            DoubleClick(port, from);
            QTest::qWait(1); // lets a pending single-click timer run out
            return QString("double click (%1,%2)").arg(from.x()).arg(from.y());
        }
        view.CapitaliseWords();
        return "capitalise";
    }

    // What is wrong, if anything: the caret and the selection's ends must stand at characters' starts,
    // and the layout be true.
    QString Fault() {
        if (QString message = UnexpectedMessage(m_Messages); !message.isEmpty()) return message;
        TBigEditor& view = m_Editor.view;
        TEditStream& text = view.Text();
        const TTextPos size = view.TextSize();
        auto splits = [&](TTextPos pos) { return pos < 0 || pos > size || text.CharStart(pos) != pos; };
        if (splits(view.CaretOffset()))
            return QString("the caret at %1 splits a character").arg(view.CaretOffset());
        if (splits(view.SelStartOffset()) || splits(view.SelEndOffset()))
            return QString("the selection %1-%2 splits a character")
                .arg(view.SelStartOffset())
                .arg(view.SelEndOffset());
        return LayoutFault(m_Editor, m_Fresh, InUtf8(TextOver(Bytes())));
    }

    std::mt19937 m_Random;
    std::string m_Original;
    TShownView<TBigEditor> m_Editor;
    TShownView<TTextViewer> m_Fresh;
    TScriptedMessages m_Messages;
};

} // namespace

class Utf8EditingTest : public QObject {
    Q_OBJECT
private slots:
    void randomSessionsNeverSplitACharacter() {
        for (TWrapModes mode : {TWrapModes::opNone, TWrapModes::opWrapScreenWidth, TWrapModes::opAbsoluteWrap,
                                TWrapModes::opPrinter})
            for (unsigned seed = 1; seed <= 6; ++seed) {
                TSession session(seed, mode);
                QString failure;
                for (int step = 0; step < 300 && failure.isEmpty(); ++step)
                    failure = session.Step(step);
                if (failure.isEmpty()) failure = session.UndoEverything();
                QVERIFY2(
                    failure.isEmpty(),
                    qPrintable(
                        QString("mode %1, seed %2, %3").arg(static_cast<int>(mode)).arg(seed).arg(failure)));
            }
    }

    // The caret steps over whole characters; Delete and Backspace take one, an invalid byte being one
    // of its own and CR LF one unit.
    void caretAndDeletionGoByCharacters() {
        Editor e("Zo\xC3\xAB\xE6\x97\xA5\x80x\r\ny\xE2\x82\xF0\x9F\x98\x80");
        for (TTextPos expected : {1, 2, 4, 7, 8}) {
            e.Key(Qt::Key_Right);
            QCOMPARE(e.view.CaretOffset(), expected);
        }
        QCOMPARE(e.view.CaretColumn(), 5); // the column a user sees counts characters, not bytes
        e.Key(Qt::Key_Left, Qt::ShiftModifier);
        e.Key(Qt::Key_Left, Qt::ShiftModifier);
        QCOMPARE(e.view.SelStartOffset(), 4);
        QCOMPARE(e.view.SelEndOffset(), 8);
        e.Key(Qt::Key_Left); // the selection collapses to its start
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), "Zo\xC3\xAB\x80x\r\ny\xE2\x82\xF0\x9F\x98\x80");
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), "Zo\xC3\xABx\r\ny\xE2\x82\xF0\x9F\x98\x80");
        e.Key(Qt::Key_Backspace);
        QCOMPARE(e.Bytes(), "Zox\r\ny\xE2\x82\xF0\x9F\x98\x80");
        e.Key(Qt::Key_End);
        e.Key(Qt::Key_Delete);
        QCOMPARE(e.Bytes(), "Zoxy\xE2\x82\xF0\x9F\x98\x80");
        e.Key(Qt::Key_End);
        e.Key(Qt::Key_Backspace);
        QCOMPARE(e.Bytes(), "Zoxy\xE2\x82");
        e.Key(Qt::Key_Backspace); // a sequence cut short goes byte by byte
        QCOMPARE(e.Bytes(), "Zoxy\xE2");

        // In word-processor mode a column remembered from a line of narrower characters may fall inside
        // a character of the next line: the caret stands at its start.
        Editor wp("abcdefgh\n\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E");
        wp.view.SetWPMode(true);
        wp.Key(Qt::Key_End);
        wp.Key(Qt::Key_Down);
        QCOMPARE(wp.view.CaretOffset(), 15);

        // Typing over a character replaces it whole, whatever the lengths of the two.
        Editor over("\xE6\x97\xA5"
                    "ab");
        over.Key(Qt::Key_Insert);
        for (const char* typed : {"x", "\xF0\x9F\x98\x80", "\xC3\xA9"})
            over.Type(typed);
        QCOMPARE(over.Bytes(), "x\xF0\x9F\x98\x80\xC3\xA9");
        QCOMPARE(over.view.CaretOffset(), 7);
    }

    // Words of any script are words: the caret moves over them, a double click and Delete Word take
    // them whole.
    void wordsOfEveryScript() {
        const std::string privet = "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82",
                          nihongo = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E";
        Editor e(privet + ", " + nihongo + " world\xE2\x80\x94x");
        for (TTextPos expected : {12, 14, 24, 29, 32, 33}) {
            e.Key(Qt::Key_Right, Qt::ControlModifier);
            QCOMPARE(e.view.CaretOffset(), expected);
        }
        for (TTextPos expected : {32, 24, 14, 0}) {
            e.Key(Qt::Key_Left, Qt::ControlModifier);
            QCOMPARE(e.view.CaretOffset(), expected);
        }
        DoubleClick(e.view.viewport(), e.At(1, 0));
        QCOMPARE(e.view.SelStartOffset(), 0);
        QCOMPARE(e.view.SelEndOffset(), 12);
        e.view.GoToOffset(17, false);
        QCOMPARE(e.view.WordAtCaret(), nihongo);
        e.Key(Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(e.Bytes(), QByteArray::fromStdString(privet + ",  world\xE2\x80\x94x"));
    }

    // Capitalise Words changes the letters whose two cases take as many bytes, leaves the others, and
    // is one undo step; in Windows-1252 text as before, but every word of the selection capitalised.
    void capitaliseWordsInEveryScript() {
        Editor e("\xC3\xA9lan \xCF\x89\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
                 "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82  "
                 "\xC4\xB1\xC5\xBF\xC3\x9F a\x80z");
        e.view.SelectAll();
        for (const char* expected : {"\xC3\x89lan \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
                                     "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82  "
                                     "\xC4\xB1\xC5\xBF\xC3\x9F A\x80Z",
                                     "\xC3\x89LAN \xCE\xA9\xCE\x9C\xCE\x88\xCE\x93\xCE\x91 "
                                     "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2  "
                                     "\xC4\xB1\xC5\xBF\xC3\x9F A\x80Z"}) {
            e.view.CapitaliseWords();
            QCOMPARE(e.Bytes(), expected);
        }
        e.Key(Qt::Key_Backspace, Qt::AltModifier);
        QCOMPARE(e.Bytes(), "\xC3\x89lan \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1 "
                            "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82  "
                            "\xC4\xB1\xC5\xBF\xC3\x9F A\x80Z");

        TShownView<TBigEditor> latin(EditOver("hello, w\xF6rld \xFF"), TWrapModes::opNone, 5, 40);
        latin.view.SelectAll();
        latin.view.CapitaliseWords();
        QCOMPARE(latin.view.Text().GetText(0, latin.view.TextSize()), "Hello, W\xF6rld \xFF");
    }
};

QTEST_MAIN(Utf8EditingTest)
#include "Utf8EditingTest.moc"
