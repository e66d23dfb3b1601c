// Questions the program asks in the middle of an operation, answered through the real message box by
// real key and mouse events.

#include <sys/stat.h>

#include <QFileDialog>
#include <QTest>

#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FindDialog.h"

namespace {

// 200 characters of words: several display lines in the window, one line in the file.
const std::string kLongLine = Repeated("word ", 40);

} // namespace

class QuestionsTest : public QObject {
    Q_OBJECT
private slots:
    void theSaveModeQuestionTakesKeysAndClicks_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<bool>("hardBreaks");
        QTest::newRow("Enter") << "Enter" << true;
        QTest::newRow("Y") << "Y" << true;
        QTest::newRow("N") << "N" << false;
        QTest::newRow("click No") << "click No" << false;
        QTest::newRow("Esc") << "Esc" << false;
    }
    void theSaveModeQuestionTakesKeysAndClicks() {
        QFETCH(QString, input);
        QFETCH(bool, hardBreaks);
        TTempDir dir;
        WriteFile(dir / "a.txt", kLongLine + "\n");
        TWindow w;
        TFileEditor& editor = *w.window.OpenFileInPage(dir / "a.txt", true);
        TRealBoxes boxes([&](QMessageBox& box) {
            if (input == "Enter") QTest::keyClick(&box, Qt::Key_Return);
            if (input == "Y") QTest::keyClick(&box, Qt::Key_Y);
            if (input == "N") QTest::keyClick(&box, Qt::Key_N);
            if (input == "Esc") QTest::keyClick(&box, Qt::Key_Escape);
            if (input == "click No") QTest::mouseClick(Button(box, "&No"), Qt::LeftButton);
        });
        w.Key(Qt::Key_X);
        w.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(boxes.Asked, QStringList{"Convert soft Line Breaks to hard Line Breaks?"});
        QCOMPARE(boxes.Stuck, 0);
        const std::string saved = ReadFile(dir / "a.txt");
        QCOMPARE(saved.substr(0, 5), std::string("xword"));
        QCOMPARE(std::count(saved.begin(), saved.end(), '\n') > 1, hardBreaks);
        QVERIFY(!editor.Modified());
    }

    void theAbortQuestionTakesKeys() {
        for (Qt::Key answer : {Qt::Key_N, Qt::Key_Y}) {
            TWindow w;
            TFileEditor& editor = *w.window.CurrentEditor();
            editor.SetWindowText(Repeated("cat and dog\n", 300000));
            TRealBoxes boxes([&](QMessageBox& box) {
                if (box.text() == "Abandon Operation?")
                    QTest::keyClick(&box, answer);
                else
                    QTest::keyClick(&box, Qt::Key_Return);
            });
            // Esc comes while the operation runs, as a user would press it.
            const auto progress = editor.OnProgressEvent;
            editor.OnProgressEvent = [&, progress](TLinesViewer& sender, TTextPos done, TTextPos total,
                                                   bool& cancel) {
                if (done > 0 && done < total && boxes.Asked.empty()) QTest::keyClick(&editor, Qt::Key_Escape);
                progress(sender, done, total, cancel);
            };
            editor.Replace(nullptr, "cat", frDown | frReplaceAll, "cow");
            QCOMPARE(boxes.Stuck, 0);
            QCOMPARE(boxes.Asked.at(0), QString("Abandon Operation?"));
            const auto cows = QString::fromStdString(WholeText(editor)).count("cow");
            if (answer == Qt::Key_N)
                QCOMPARE(cows, 300000);
            else
                QVERIFY(cows < 300000);
        }
    }

    void theReadOnlyQuestionTakesKeys() {
        TTempDir dir;
        WriteFile(dir / "r.txt", "locked");
        ::chmod((dir / "r.txt").c_str(), 0444);
        TWindow w;
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_N); });
        TFileEditor& editor = *w.window.OpenFileInPage(dir / "r.txt", true);
        QCOMPARE(boxes.Stuck, 0);
        QVERIFY(boxes.Asked.at(0).endsWith("is read only. Prevent changes to edited text?"));
        QVERIFY(!editor.ReadOnly());
    }

    // A file replaced behind the editor: Y writes over it, N saves under the name the Save dialog gets
    // (once the first save's busy mode is over), Esc saves nothing.
    void theChangedOnDiskQuestionTakesKeys() {
        for (Qt::Key answer : {Qt::Key_Escape, Qt::Key_N, Qt::Key_Y}) {
            TTempDir dir;
            WriteFile(dir / "c.txt", "mine\n");
            TWindow w;
            TFileEditor& editor = *w.window.OpenFileInPage(dir / "c.txt", true);
            editor.SetWrapMode(TWrapModes::opNone);
            w.Key(Qt::Key_X);
            WriteFile(dir / "theirs", "theirs\n");
            std::filesystem::rename(dir / "theirs", dir / "c.txt");
            TRealBoxes boxes([answer](QMessageBox& box) { QTest::keyClick(&box, answer); });
            QString dialog; // the Save dialog, given another name
            QTimer watch;
            QObject::connect(&watch, &QTimer::timeout, [&dialog, &dir] {
                auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!shown) return;
                dialog = shown->windowTitle();
                shown->selectFile(QString::fromStdString((dir / "elsewhere.txt").string()));
                static_cast<QDialog*>(shown)->accept();
            });
            watch.start(10);
            w.Key(Qt::Key_S, Qt::ControlModifier);
            QCOMPARE(boxes.Stuck, 0);
            QCOMPARE(boxes.Asked.size(), 1);
            QVERIFY(boxes.Asked[0].contains("was changed by another program"));
            QCOMPARE(ReadFile(dir / "c.txt"), std::string(answer == Qt::Key_Y ? "xmine\n" : "theirs\n"));
            QCOMPARE(editor.Modified(), answer == Qt::Key_Escape);
            QCOMPARE(dialog, QString(answer == Qt::Key_N ? "Save File" : ""));
            QCOMPARE(ReadFile(dir / "elsewhere.txt"), std::string(answer == Qt::Key_N ? "xmine\n" : ""));
        }
    }

    // Yes to "Save changes?" on an untitled page whose Save As is cancelled saves nothing: the text and
    // its modified flag stay, and neither New nor Close throws them away.
    void saveChangesAnsweredYesWithTheNameRefused() {
        TWindow w;
        TFileEditor& editor = *w.window.CurrentEditor();
        QTest::keyClicks(&editor, "keep me");
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Y); });
        AnswerModal([](QWidget& dialog) { dialog.close(); }); // the Save dialog, cancelled
        editor.New();
        AnswerModal([](QWidget& dialog) { dialog.close(); });
        w.window.Close();
        QCOMPARE(boxes.Asked.size(), 2);
        QCOMPARE(WholeText(editor), std::string("keep me"));
        QVERIFY(editor.Modified());
        QCOMPARE(w.window.CurrentEditor(), &editor);
    }
};

QTEST_MAIN(QuestionsTest)
#include "QuestionsTest.moc"
