// Random sessions of keys, typing, pastes and mouse work on a wrapped window, checked after every step
// against a fresh layout of the text, then undone and redone as a whole.

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

constexpr int kRows = 6, kColumns = 16;

// The keys of the default key table, and some that are not in it.
const std::vector<TKeyStroke>& Strokes() {
    static const std::vector<TKeyStroke> strokes = [] {
        std::vector<TKeyStroke> list;
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End,
                            Qt::Key_PageUp, Qt::Key_PageDown})
            for (auto modifiers : {Qt::NoModifier, Qt::ShiftModifier, Qt::AltModifier, Qt::ControlModifier})
                list.push_back({key, modifiers});
        const Qt::KeyboardModifiers ctrl = Qt::ControlModifier, shift = Qt::ShiftModifier,
                                    alt = Qt::AltModifier;
        for (TKeyStroke stroke : std::initializer_list<TKeyStroke>{
                 {Qt::Key_Backspace, {}}, {Qt::Key_Backspace, {}}, {Qt::Key_Delete, {}},
                 {Qt::Key_Delete, {}},    {Qt::Key_Return, {}},    {Qt::Key_Insert, {}},
                 {Qt::Key_Y, ctrl},       {Qt::Key_T, ctrl},       {Qt::Key_X, ctrl},
                 {Qt::Key_Delete, shift}, {Qt::Key_V, ctrl},       {Qt::Key_Insert, shift},
                 {Qt::Key_C, ctrl},       {Qt::Key_Insert, ctrl},  {Qt::Key_Q, ctrl},
                 {Qt::Key_D, {}},         {Qt::Key_S, {}},         {Qt::Key_Backspace, alt},
                 {Qt::Key_R, ctrl},       {Qt::Key_Escape, {}},    {Qt::Key_Tab, {}}})
            list.push_back(stroke);
        return list;
    }();
    return strokes;
}

class TSession {
public:
    explicit TSession(unsigned seed)
        : m_Random(seed), m_Original(RandomText(Pick(0, 3000))),
          m_Editor(EditOver(m_Original, 512), TWrapModes::opWrapScreenWidth, kRows, kColumns),
          m_Fresh(TextOver(""), TWrapModes::opWrapScreenWidth, kRows, kColumns) {
        QGuiApplication::clipboard()->clear(); // each session on its own
        m_Editor.view.SetMaxUndoLevels(1 << 20);
        m_Editor.view.SetBeepOn(false);
    }

    // One random action; what is wrong after it, if anything.
    QString Step(int index) {
        m_Last = Act();
        return Checked(QString("step %1 (%2)").arg(index).arg(m_Last));
    }

    QString UndoAndRedoEverything() {
        QTest::keyClicks(&m_Editor.view, "z"); // an edit of its own ends any redo list
        const std::string final = Bytes();
        TEditStream& text = m_Editor.view.Text();
        while (text.UndoLevels() > 0) {
            m_Editor.view.UndoEdit();
            if (QString fault = Checked(QString("undo to level %1").arg(text.UndoLevels())); !fault.isEmpty())
                return fault;
        }
        if (Bytes() != m_Original) return "undoing everything did not give the original";
        if (QString fault = Checked("after undoing everything"); !fault.isEmpty()) return fault;
        while (text.RedoLevels() > 0)
            m_Editor.view.RedoEdit();
        if (Bytes() != final) return "redoing everything did not give the final text";
        return Checked("after redoing everything");
    }

private:
    TTextPos Pick(TTextPos low, TTextPos high) {
        return std::uniform_int_distribution<TTextPos>(low, high)(m_Random);
    }

    std::string RandomText(TTextPos size) {
        static const std::string pieces[] = {
            "word",      "Alpha", "x",    " ",      " ",
            "  ",        "\t",    "\r\n", "\r\n",   "\n",
            "\xe9t\xe9", "_9",    ".",    "\f\r\n", "a_very_long_identifier_without_breaks"};
        std::string text;
        while (static_cast<TTextPos>(text.size()) < size)
            text += pieces[Pick(0, std::size(pieces) - 1)];
        return text;
    }

    std::string Bytes() { return AllBytes(m_Editor.view); }

    QPoint RandomPoint() {
        return m_Editor.At(Pick(0, kColumns + 3), m_Editor.view.TopLine() + Pick(0, kRows - 1));
    }

    QString Act() {
        TBigEditor& view = m_Editor.view;
        QWidget* port = view.viewport();
        const int kind = static_cast<int>(Pick(0, 99));
        if (kind < 55) {
            return Press(view, Strokes()[static_cast<size_t>(Pick(0, std::ssize(Strokes()) - 1))]);
        }
        if (kind < 75) {
            const std::string typed = RandomText(Pick(1, 4));
            for (const char c : typed)
                if (c != '\r' && c != '\n' && c != '\f' && c != '\t')
                    QTest::sendKeyEvent(QTest::Click, &view, Qt::Key_unknown,
                                        QString(QChar(static_cast<unsigned char>(c))), Qt::NoModifier);
            return "typing";
        }
        if (kind < 82) {
            auto* mime = new QMimeData;
            const std::string clip = RandomText(Pick(0, 40));
            mime->setText(QString::fromLatin1(clip.data(), static_cast<qsizetype>(clip.size())));
            if (Pick(0, 2) == 0) mime->setData(TTextViewer::ColumnTextFormat, "ab\r\ncd\r\nef\r\n");
            QGuiApplication::clipboard()->setMimeData(mime);
            QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
            return "paste";
        }
        if (kind < 92) {
            const auto modifiers = Pick(0, 2) == 0 ? Qt::AltModifier : Qt::NoModifier;
            const QPoint from = RandomPoint(), to = RandomPoint();
            return Drag(port, from, to, modifiers, Pick(0, 2) == 0 ? Qt::ControlModifier : modifiers);
        }
        if (kind < 96) {
            view.CapitaliseWords();
            return "capitalise";
        }
        static const char* const finds[] = {"a", "word", "\\n", "x", " "};
        const char* find = finds[Pick(0, std::size(finds) - 1)];
        view.Replace(nullptr, find, (Pick(0, 1) ? TFindOptions(frDown) : TFindOptions(0)) | frReplaceAll,
                     Pick(0, 1) ? "" : "yy\\nz");
        return QString("replace all %1").arg(find);
    }

    QString Checked(const QString& when) {
        const QString fault = Fault();
        return fault.isEmpty() ? fault : when + ": " + fault;
    }

    // What is wrong, if anything: the caret and selection must lie in the text, and the layout be true.
    QString Fault() {
        TBigEditor& view = m_Editor.view;
        if (QString message = UnexpectedMessage(m_Messages); !message.isEmpty()) return message;
        const TTextPos size = view.TextSize();
        if (view.CaretOffset() < 0 || view.CaretOffset() > size) return "caret outside the text";
        if (view.SelStartOffset() < 0 || view.SelStartOffset() > view.SelEndOffset() ||
            view.SelEndOffset() > size)
            return QString("selection %1-%2 outside the text")
                .arg(view.SelStartOffset())
                .arg(view.SelEndOffset());
        return LayoutFault(m_Editor, m_Fresh, TextOver(Bytes()));
    }

    std::mt19937 m_Random;
    std::string m_Original;
    TShownView<TBigEditor> m_Editor;
    TShownView<TTextViewer> m_Fresh;
    TScriptedMessages m_Messages;
    QString m_Last;
};

} // namespace

class RandomEditingTest : public QObject {
    Q_OBJECT
private slots:
    void randomSessionsKeepTheLayoutTrueAndUndoAsAWhole() {
        // Sessions share the application, so a seed's session depends on those before it: the first 64
        // cover every fault these sessions have found.
        for (unsigned seed = 1; seed <= 64; ++seed) {
            TSession session(seed);
            QString failure;
            for (int step = 0; step < 1000 && failure.isEmpty(); ++step)
                failure = session.Step(step);
            if (failure.isEmpty()) failure = session.UndoAndRedoEverything();
            QVERIFY2(failure.isEmpty(), qPrintable(QString("seed %1, %2").arg(seed).arg(failure)));
        }
    }
};

QTEST_MAIN(RandomEditingTest)
#include "RandomEditingTest.moc"
