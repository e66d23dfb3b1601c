#include <QFileDialog>
#include <QTabBar>
#include <QTest>

#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FileList.h"

namespace fs = std::filesystem;

namespace {

TCommandLine Files(std::initializer_list<fs::path> names) {
    TCommandLine line;
    for (const fs::path& name : names)
        line.Files.push_back({name, 0});
    return line;
}

// What the start-up Open dialog showed, its folder and chosen file, once it closed; empty when none
// came up.
QString StartUpDialog() {
    QString shown;
    QTimer::singleShot(150, [&] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            shown = dialog->directory().path() + "|" + dialog->selectedFiles().value(0);
            dialog->reject();
        }
    });
    QTest::qWait(300);
    return shown;
}

} // namespace

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void withoutFilesTheStartUpSettingDecides() {
        TTempDir dir;
        WriteFile(dir / "recent.txt", "recent");
        for (int startUp : {0, 1, 2}) {
            TWindow shown;
            TQuorvel& window = shown.window;
            window.StartUp = startUp;
            window.FileList().AddFile(dir / "recent.txt");
            window.StartUpWith({}, {});
            const QString dialog = StartUpDialog();
            QVERIFY(window.StartedUp);
            QCOMPARE(!dialog.isEmpty(), startUp == 1);
            if (startUp == 1)
                QCOMPARE(dialog, QString::fromStdString((dir / "x").parent_path().string() + "|" +
                                                        (dir / "recent.txt").string()));
            QCOMPARE(window.CurrentEditor()->FileName(), startUp == 2 ? dir / "recent.txt" : fs::path());
        }
        // The most recent file has gone: the Open dialog instead.
        fs::remove(dir / "recent.txt");
        TWindow shown;
        shown.window.StartUp = 2;
        shown.window.FileList().AddFile(dir / "recent.txt");
        shown.window.StartUpWith({}, {});
        QVERIFY(!StartUpDialog().isEmpty());
    }

    void filesOpenInOrderAtTheirLinesAndANewNameBecomesAFileWhenSaved() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "one\ntwo\nthree\n");
        WriteFile(dir / "b&c.txt", "b");
        TWindow shown;
        TQuorvel& window = shown.window;
        TCommandLine line = Files({dir / "a.txt", dir / "new.txt", dir / "b&c.txt"});
        line.Files[0].Line = 3;
        line.Options = coWrap | coNoPrompt;
        line.WrapMode = 2;
        line.LineLength = 20;
        window.StartUpWith(line, {});
        QCOMPARE(window.PageCount(), 3);
        QCOMPARE(window.PageIndex(), 0);
        QCOMPARE(window.CurrentEditor()->CaretOffset(), 8);
        QCOMPARE(window.Page(2)->MaxLineLength(), 20); // a page made later copies the wrap
        QCOMPARE(window.Page(2)->WrapMode(), TWrapModes::opAbsoluteWrap);
        QVERIFY(!window.OverwritePrompt);
        QCOMPARE(window.findChild<QTabBar*>()->tabText(2), QString("b&&c.txt")); // no shortcut mark
        window.SelectPage(2);
        QCOMPARE(window.windowTitle(), QString("Quorvel - b&c.txt"));
        TFileEditor& fresh = *window.Page(1);
        QVERIFY(fresh.FileName().empty());
        QVERIFY(!fs::exists(dir / "new.txt"));
        window.SelectPage(1);
        QCOMPARE(window.windowTitle(), QString("Quorvel - new.txt"));
        window.OpenOrCreate(dir / "new.txt", true); // the same page, not another
        QCOMPARE(window.PageCount(), 3);
        fresh.SetWindowText("made");
        window.Save();
        QCOMPARE(ReadFile(dir / "new.txt"), std::string("made"));
        QCOMPARE(fresh.FileName(), dir / "new.txt");
        QVERIFY(!window.NewFileName(fresh));
        QCOMPARE(window.FileList().Entry(0), dir / "new.txt");
    }

    void standardInputGoesToAnUntitledPageThatAsksBeforeItIsLost() {
        TWindow shown;
        TCommandLine line;
        line.ReadStdin = true;
        shown.window.StartUpWith(line, "piped\ntext\n");
        TFileEditor& page = *shown.window.CurrentEditor();
        QCOMPARE(page.TextSize(), 11);
        QVERIFY(page.FileName().empty());
        TScriptedMessages messages({TModalResult::mrCancel});
        QVERIFY(!shown.window.close());
        QCOMPARE(messages.Asked, std::vector<std::string>{"<untitled> has changed. Save File?"});
    }

    void aHandedOverFileWaitsWhileTheWindowAsksSomething() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "first\nsecond\n");
        TWindow shown;
        TQuorvel& window = shown.window;
        window.StartUp = 0;
        QVERIFY(window.ReceiveHandOff({false, 0, 0, (dir / "a.txt").string(), 2})); // not started yet
        QCOMPARE(window.PageCount(), 1);
        window.StartUpWith({}, {});
        QCOMPARE(window.PageCount(), 2);
        QCOMPARE(window.CurrentEditor()->FileName(), dir / "a.txt");
        QCOMPARE(window.CurrentEditor()->CaretOffset(), 6);
        // Under a message box the page waits until the box has gone.
        TRealBoxes boxes([](QMessageBox& box) { QTimer::singleShot(300, &box, &QMessageBox::accept); });
        bool received = false;
        QTimer::singleShot(50, [&] {
            received = window.ReceiveHandOff({true, 3, 0, (dir / "b.txt").string(), 0});
            QCOMPARE(window.PageCount(), 2);
        });
        MessageDlg("Busy asking", TMsgDlgType::mtInformation, TMsgButtons::mbOK);
        QVERIFY(received);
        QTRY_COMPARE(window.windowTitle(), QString("Quorvel - b.txt")); // in the untitled page
        QCOMPARE(window.CurrentEditor()->WrapMode(), TWrapModes::opPrinter);
        QVERIFY(window.close());
        QVERIFY(!window.ReceiveHandOff({false, 0, 0, (dir / "a.txt").string(), 0}));
    }
};

QTEST_MAIN(StartUpTest)
#include "StartUpTest.moc"
