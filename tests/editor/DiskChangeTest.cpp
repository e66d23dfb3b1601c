// A file changed on disk behind its editor: the bar that says so, and what its buttons do.

#include <QPushButton>
#include <QTest>

#include "ScriptedMessages.h"
#include "ShownView.h"
#include "TestFiles.h"
#include "editor/FileEditor.h"

namespace fs = std::filesystem;

namespace {

QStringList Buttons(const TDiskChangeBar& bar) {
    QStringList shown;
    for (const QPushButton* button : bar.findChildren<QPushButton*>())
        if (!button->isHidden()) shown << button->text();
    return shown;
}

void Click(const TDiskChangeBar& bar, const QString& caption) {
    for (QPushButton* button : bar.findChildren<QPushButton*>())
        if (button->text() == caption) QTest::mouseClick(button, Qt::LeftButton);
}

struct Editor : TShownView<TFileEditor> {
    explicit Editor(const fs::path& file) : TShownView(nullptr, TWrapModes::opNone, 5, 30) {
        view.Document().SetFileLocking(false);
        view.Document().SetSaveMode(TSaveMode::smParagraph);
        view.SetFileName(file);
    }
    std::string Text() { return view.Text().GetText(0, view.TextSize()); }
    const TDiskChangeBar& Bar() { return view.DiskChangeBar(); }
};

} // namespace

class DiskChangeTest : public QObject {
    Q_OBJECT
private slots:
    void aReplacedFileIsToldOfAtOnceAndReloadedOnRequest() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "mine");
        Editor e(dir / "a.txt");
        QVERIFY(e.Bar().isHidden());
        QTest::keyClicks(&e.view, "x");
        WriteFile(dir / "new", "theirs");
        fs::rename(dir / "new", dir / "a.txt");
        QTRY_VERIFY(!e.Bar().isHidden()); // the system's report, without calling anything
        QVERIFY(e.Bar().Message().contains("replaced"));
        QCOMPARE(Buttons(e.Bar()), (QStringList{"&Reload", "&Keep Mine"}));
        QVERIFY2(e.view.viewport()->y() >= e.Bar().height(), "the text starts below the bar");

        TScriptedMessages messages({TModalResult::mrNo, TModalResult::mrYes});
        Click(e.Bar(), "&Reload"); // the changes made here are asked about first
        QCOMPARE(e.Text(), "xmine");
        Click(e.Bar(), "&Reload");
        QCOMPARE(e.Text(), "theirs");
        QCOMPARE(messages.Asked.size(), size_t(2));
        QVERIFY(e.Bar().isHidden());
    }

    void keepMineHidesTheBarUntilTheNextChange() {
        TTempDir dir;
        WriteFile(dir / "b.txt", "mine");
        Editor e(dir / "b.txt");
        fs::remove(dir / "b.txt");
        e.view.CheckDisk();
        QCOMPARE(Buttons(e.Bar()), (QStringList{"&Keep Mine", "Save &As..."}));
        Click(e.Bar(), "&Keep Mine");
        QVERIFY(e.Bar().isHidden());
        e.view.CheckDisk();
        QVERIFY2(e.Bar().isHidden(), "nothing new since");
        WriteFile(dir / "b.txt", "made again");
        e.view.CheckDisk();
        QVERIFY(!e.Bar().isHidden());
        QCOMPARE(e.Text(), "mine");
    }

    // Written in place, the file no longer holds what the text reads: Save As keeps the text shown.
    void aFileRewrittenInPlaceOffersReloadOrSaveAs() {
        TTempDir dir;
        WriteFile(dir / "c.txt", "0123456789");
        Editor e(dir / "c.txt");
        WriteFile(dir / "c.txt", "abcdefghijk"); // the same file, other bytes
        e.view.CheckDisk();
        QVERIFY(e.Bar().Message().contains("mix"));
        QCOMPARE(Buttons(e.Bar()), (QStringList{"&Reload", "Save &As..."}));
        e.view.Document().OnSaveNewFile = [&](TDocumentFile&) { e.view.Save(dir / "kept.txt"); };
        Click(e.Bar(), "Save &As...");
        QCOMPARE(e.view.FileName(), dir / "kept.txt");
        QCOMPARE(ReadFile(dir / "kept.txt"), "abcdefghij");
        QTRY_VERIFY(e.Bar().isHidden()); // looked at again once the save is over
    }
};

QTEST_MAIN(DiskChangeTest)
#include "DiskChangeTest.moc"
