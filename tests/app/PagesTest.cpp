#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTest>
#include <QUrl>

#include "ErrorOf.h"
#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/Quorvel.h"

namespace fs = std::filesystem;

namespace {

std::string TabCaptions(const TQuorvel& window) {
    std::string captions;
    for (int i = 0; i < window.PageCount(); ++i)
        captions += (i ? "," : "") + (window.Page(i)->FileName().empty()
                                          ? std::string("-")
                                          : window.Page(i)->FileName().filename().string());
    return captions;
}

QStringList StatusTexts(TQuorvel& window) {
    QStringList texts;
    for (const QLabel* panel : window.statusBar()->findChildren<QLabel*>())
        texts << panel->text();
    return texts;
}

void Type(TFileEditor& editor, const char* text) {
    editor.setFocus();
    QTest::keyClicks(&editor, text);
}

} // namespace

class PagesTest : public QObject {
    Q_OBJECT
private slots:
    void newReusesAnUntitledPageButNeverTheSelectedOne() {
        TQuorvel window;
        window.show();
        QCOMPARE(window.PageCount(), 1);
        QVERIFY(!window.TabRowVisible());
        window.New();
        QCOMPARE(window.PageCount(), 2);
        QCOMPARE(window.PageIndex(), 1);
        QVERIFY(window.TabRowVisible());
        window.New();
        QCOMPARE(window.PageCount(), 2);
        QCOMPARE(window.PageIndex(), 0);
        QCOMPARE(window.windowTitle(), QString("Quorvel - <untitled>"));
    }

    // Only local files are taken; they open as the Open dialog's files do.
    void filesDroppedOnTheWindowOpenInPages() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "a");
        WriteFile(dir / "b.txt", "b");
        TQuorvel window;
        window.show();
        QMimeData web;
        web.setUrls({QUrl("https://example.org/c.txt")});
        QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &refused);
        QVERIFY(!refused.isAccepted());

        QMimeData files;
        files.setUrls({QUrl::fromLocalFile(QString::fromStdString((dir / "a.txt").string())),
                       QUrl::fromLocalFile(QString::fromStdString((dir / "b.txt").string()))});
        QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &files, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &drop);
        QTRY_COMPARE(TabCaptions(window), std::string("b.txt,a.txt"));
    }

    void openingAFileAlreadyOpenSelectsItsPage() {
        TTempDir dir;
        fs::create_directory(dir / "sub");
        WriteFile(dir / "a.txt", "first\r\n");
        WriteFile(dir / "b.txt", "second\r\n");
        TQuorvel window;
        window.OpenFiles({dir / "a.txt", dir / "b.txt"}, false);
        QCOMPARE(TabCaptions(window), std::string("b.txt,a.txt"));
        TFileEditor* a = window.Page(1);
        Type(*a, "x"); // a reload would lose this
        window.OpenFileInPage(dir / "sub" / ".." / "a.txt", true);
        QCOMPARE(window.PageIndex(), 1);
        QCOMPARE(window.CurrentEditor(), a);
        QVERIFY(a->Modified());
        QCOMPARE(window.windowTitle(), QString("Quorvel - a.txt *"));
    }

    void theStatusBarShowsThePagesLineBreak() {
        TTempDir dir;
        WriteFile(dir / "lf.txt", "one\ntwo\r\n");
        WriteFile(dir / "crlf.txt", "one\r\ntwo\n");
        TQuorvel window;
        window.show();
        QVERIFY(StatusTexts(window).contains("LF"));
        window.OpenFileInPage(dir / "crlf.txt", true);
        QVERIFY(StatusTexts(window).contains("CR LF"));
        window.SelectPage(0);
        QVERIFY(StatusTexts(window).contains("LF"));
        QVERIFY(!StatusTexts(window).contains("CR LF"));
        window.SelectPage(1);
        window.CurrentEditor()->SetFileName(dir / "lf.txt"); // another file in the same page
        QVERIFY(StatusTexts(window).contains("LF"));
        QVERIFY(!StatusTexts(window).contains("CR LF"));
    }

    // A new text is UTF-8, a file's set comes with it; the View menu switches it for the page, bytes
    // untouched.
    void theStatusBarShowsThePagesCharacterSetAndTheViewMenuSwitchesIt() {
        TTempDir dir;
        WriteFile(dir / "latin.txt", "caf\xE9\n");
        TQuorvel window;
        window.show();
        QVERIFY(StatusTexts(window).contains("UTF-8"));
        window.OpenFileInPage(dir / "latin.txt", true);
        QVERIFY(StatusTexts(window).contains("Windows-1252"));
        QAction* utf8 = MenuCommand(window, "&View", "&UTF-8");
        QVERIFY(!utf8->isChecked());
        utf8->trigger();
        QVERIFY(StatusTexts(window).contains("UTF-8"));
        QVERIFY(utf8->isChecked());
        QCOMPARE(window.CurrentEditor()->Text().CharSet(), TCharSets::csUtf8);
        window.SelectPage(0);
        utf8->trigger();
        QCOMPARE(window.CurrentEditor()->Text().CharSet(), TCharSets::csWindows1252);
        window.SelectPage(1);
        QVERIFY(StatusTexts(window).contains("UTF-8"));
        QCOMPARE(ReadFile(dir / "latin.txt"), "caf\xE9\n");
    }

    void severalFilesLandAsTheyShouldWithTheReadOnlyChoice() {
        TTempDir dir;
        for (const char* name : {"1.txt", "2.txt", "3.txt"})
            WriteFile(dir / name, name);
        TQuorvel window;
        window.OpenFiles({dir / "1.txt", dir / "2.txt", dir / "3.txt"}, true);
        // The first goes to a new page (the selected one is never reused), the second to the untitled
        // page, the third to another new page.
        QCOMPARE(TabCaptions(window), std::string("2.txt,1.txt,3.txt"));
        for (int i = 0; i < 3; ++i)
            QVERIFY(window.Page(i)->ReadOnly());
        QCOMPARE(window.OpenDir, (dir / "3.txt").parent_path());
    }

    void aFileThatFailsToLoadLeavesThePreviousPageSelected() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "a");
        TQuorvel window;
        window.OpenFileInPage(dir / "a.txt", true);
        const int before = window.PageIndex();
        QVERIFY(ErrorOf<std::exception>([&] { window.OpenFileInPage(dir / "missing.txt", true); }) !=
                "(nothing raised)");
        QCOMPARE(window.PageIndex(), before);
        QCOMPARE(window.CurrentEditor()->FileName(), dir / "a.txt");
    }

    void closingPagesAndTheLastOne() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "a");
        TQuorvel window;
        window.OpenFileInPage(dir / "a.txt", true);
        QCOMPARE(window.PageCount(), 2);
        window.Close();
        QCOMPARE(window.PageCount(), 1);
        QVERIFY(!window.TabRowVisible());
        window.OpenFileInPage(dir / "a.txt", true); // reuses the untitled page: not selected any more
        window.Close();
        QCOMPARE(window.PageCount(), 1);
        QVERIFY(window.CurrentEditor()->FileName().empty());
        QCOMPARE(window.windowTitle(), QString("Quorvel - <untitled>"));
        QCOMPARE(ErrorOf<Exception>([&] { window.CloseEditorPage(1); }), std::string("Invalid Editor Index"));
    }

    void exitOffersTheLastPageFirstAndCancelKeepsEverything() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "a");
        WriteFile(dir / "b.txt", "b");
        TQuorvel window;
        window.show();
        window.OpenFiles({dir / "a.txt", dir / "b.txt"}, false); // pages b.txt, a.txt
        Type(*window.Page(0), "0");
        Type(*window.Page(1), "1");
        {
            TScriptedMessages messages({TModalResult::mrCancel});
            QVERIFY(!window.close());
            QCOMPARE(messages.Asked, std::vector<std::string>{"a.txt has changed. Save File?"});
            QCOMPARE(window.PageCount(), 2);
        }
        {
            TScriptedMessages messages({TModalResult::mrNo, TModalResult::mrNo});
            QVERIFY(window.close());
            QCOMPARE(messages.Asked, (std::vector<std::string>{"a.txt has changed. Save File?",
                                                               "b.txt has changed. Save File?"}));
        }
        QCOMPARE(ReadFile(dir / "b.txt"), std::string("b"));
    }

    void ctrlTabGoesRoundThePages() {
        TQuorvel window;
        window.show();
        window.New();
        window.New();
        window.OpenFileInPage({}, true);
        QCOMPARE(window.PageCount(), 2);
        window.SelectPage(1);
        QTest::keyClick(window.CurrentEditor(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(window.PageIndex(), 0);
        QTest::keyClick(window.CurrentEditor(), Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(window.PageIndex(), 1);
    }
};

QTEST_MAIN(PagesTest)
#include "PagesTest.moc"
