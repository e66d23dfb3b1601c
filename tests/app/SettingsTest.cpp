#include <QFileDialog>
#include <QMenu>
#include <QTest>

#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FileList.h"
#include "app/QVIniFile.h"
#include "app/SettingsStore.h"

namespace fs = std::filesystem;

namespace {

// Every value the store keeps, none of them at its default.
TEditorSettings Unusual() {
    TEditorSettings s;
    s.Font = QFont("DejaVu Sans");
    s.Font.setPixelSize(21);
    s.Font.setBold(true);
    s.Font.setItalic(true);
    s.WrapMode = TWrapModes::opAbsoluteWrap;
    s.MaxLineLength = 40;
    s.SaveMode = TSaveMode::smLineBreaks;
    s.PrinterMetrics = {1.25f, 1.5f, 0.5f, 0.75f, 1.75f, 2.0f};
    s.TabStops = {0.5f, 1.25f, 3.0f};
    s.MaxUndoLevels = 33;
    s.WPMode = true;
    s.ShowLineBreaks = true;
    s.HorzTracking = false;
    s.VertTracking = false;
    s.ShowPageBreaks = TPageBreakDisplayModes::pbWYSIWYG;
    s.LineNumberMode = TLineNumberModes::lnPageRelative;
    s.BackupFiles = false;
    s.FileLocking = false;
    s.LeftMargin = 217; // wider than an editor not yet shown
    s.RightMargin = 23;
    s.AutoScroll = true;
    s.SelectAfterPaste = true;
    s.DoubleClickMode = TDoubleClickModes::dcWordAndSpaces;
    s.TripleClick = true;
    s.PagingMode = TPagingModes::pmCaretConstant;
    s.Keys.assign(TLinesViewer::KeyCount, 0);
    s.Keys[2] = 256 + 'K';
    s.QuickKey = 256 + 'J';
    return s;
}

} // namespace

class SettingsTest : public QObject {
    Q_OBJECT
private slots:
    void everyEditorValueComesBackFromARealFile() {
        TTempDir dir;
        const TEditorSettings written = Unusual();
        TQVIniFile store(dir / "Version1.0.ini");
        TEditorSettings builtIn;
        builtIn.Keys.assign(TLinesViewer::KeyCount, 0);
        SaveEditorSettings(store, written, builtIn);
        store.UpdateFile();
        TEditorSettings read;
        read.Keys.assign(TLinesViewer::KeyCount, 0);
        LoadEditorSettings(TQVIniFile(dir / "Version1.0.ini"), read);
        QVERIFY(read.Font == written.Font);
        QVERIFY(read == written);
        // Keys left as the editor defines them are not stored.
        const std::string text = ReadFile(dir / "Version1.0.ini");
        QVERIFY(text.find("CopyKey=331") != std::string::npos);
        QVERIFY(text.find("CutKey") == std::string::npos);
    }

    void anEmptyOrMissingStoreGivesTheDefaults() {
        TTempDir dir;
        WriteFile(dir / "empty.ini", "");
        for (const fs::path& name : {dir / "empty.ini", dir / "missing" / "Version1.0.ini"}) {
            TQuorvel window;
            window.LoadSettings(TQVIniFile(name));
            const TEditorSettings s = EditorSettings(*window.CurrentEditor());
            QCOMPARE(s.WrapMode, TWrapModes::opNone);
            QCOMPARE(s.MaxLineLength, 76);
            QCOMPARE(s.SaveMode, TSaveMode::smPrompt);
            QCOMPARE(s.PrinterMetrics, (std::array<float, 6>{0.5f, 0.5f, 0.75f, 1.0f, 0.25f, 0.25f}));
            QVERIFY(s.TabStops.empty());
            QCOMPARE(s.Font.pixelSize(), 13); // the window's own font
            QCOMPARE(s.MaxUndoLevels, 10);
            QVERIFY(s.WPMode && s.ShowLineBreaks && s.HorzTracking && s.AutoScroll && s.TripleClick &&
                    s.BackupFiles);
            QVERIFY(!s.FileLocking && !s.SelectAfterPaste);
            QCOMPARE(s.DoubleClickMode, TDoubleClickModes::dcWordAndSpaces);
            QCOMPARE(window.StartUp, 1);
            QVERIFY(window.NewLook());
            QCOMPARE(window.CommonTextFileTypes,
                     std::string("*.txt;*.c;*.h;*.pas;*.cpp;*.asm;*.hpp;*.bat;*.htm;"
                                 "*.log;*.ini;*.lst;*.cgi"));
            QCOMPARE(window.FileList().Count(), 0);
        }
    }

    void malformedValuesGiveDefaultsAndLoseNothingElse() {
        TTempDir dir;
        WriteFile(dir / "store.ini", "[Editor]\nWrap=7\nMaxLineLength=12x\nFont=Arial,-13\nLeftMargin=33\n"
                                     "Breaks=0\nStartUp=2\nPageBreak=-1\nDoubleClickMode=0\n"
                                     "[Printer]\nTop=-3\nBottom=nan\nLeft=1.50\n"
                                     "[Tabs]\nCount=1000000000\nTab1=x\nTab2=2.5\n"
                                     "[Junk]\nLine=" +
                                         std::string(10 << 20, 'j') + "\n");
        TQuorvel window;
        window.LoadSettings(TQVIniFile(dir / "store.ini"));
        const TEditorSettings s = EditorSettings(*window.CurrentEditor());
        QCOMPARE(s.WrapMode, TWrapModes::opNone);
        QCOMPARE(s.MaxLineLength, 76);
        QCOMPARE(s.Font.pixelSize(), 13);
        QCOMPARE(s.LeftMargin, 33);
        QVERIFY(!s.ShowLineBreaks);
        QCOMPARE(s.ShowPageBreaks, TPageBreakDisplayModes::pbAlways);
        QCOMPARE(s.DoubleClickMode, TDoubleClickModes::dcWordOnly);
        QCOMPARE(s.PrinterMetrics[2], 0.75f);
        QCOMPARE(s.PrinterMetrics[3], 1.0f);
        QCOMPARE(s.PrinterMetrics[0], 1.5f);
        QCOMPARE(s.TabStops.size(), size_t(16)); // as many as the layout holds
        QCOMPARE(s.TabStops[0], 0.0f);
        QCOMPARE(s.TabStops[1], 2.5f);
        QCOMPARE(window.StartUp, 2);
        // A face that is not UTF-8, or a size no screen shows, is no font either.
        for (const TFontText& bad : {TFontText{"\xff\xfe", -13, 10, 0, 0}, TFontText{"Arial", 0, 0, 0, 0},
                                     TFontText{"Arial", -13, 100000, 0, 0}, TFontText{"", -13, 10, 0, 0}})
            QCOMPARE(FontFromText(bad, QFont("Fallback")).family(), QString("Fallback"));
    }

    void theWindowsSettingsComeBackThroughARealFile() {
        TTempDir dir;
        const fs::path name = dir / "Version1.0.ini";
        QFont font("DejaVu Sans Mono");
        font.setPointSize(17);
        {
            TQuorvel window;
            TQVIniFile store(name);
            window.LoadSettings(store);
            window.show();
            window.resize(700, 500);
            window.CurrentEditor()->setFont(font);
            window.CurrentEditor()->SetLeftMargin(300); // beyond what an editor not yet shown allows
            window.CurrentEditor()->SetMailQuote("| ");
            window.CompressUtilities.AddUtility("zstd", "zst", "zstd -q &F -o &Z");
            window.DefaultUtility = 2;
            window.PrintTitle = "Minutes";
            window.PrintPageNumbers = false;
            window.ToggleWrapMode();
            window.ToggleWrapMode();
            window.UseSaveDir = true;
            window.SetOpenDir(dir / "open");
            window.SetSaveDir(dir / "save");
            window.SaveSettings(store);
            store.UpdateFile();
        }
        TQuorvel window;
        window.LoadSettings(TQVIniFile(name));
        QCOMPARE(window.CurrentEditor()->WrapMode(), TWrapModes::opAbsoluteWrap);
        QCOMPARE(window.CurrentEditor()->font().family(), QString("DejaVu Sans Mono"));
        QCOMPARE(QFontInfo(window.CurrentEditor()->font()).pixelSize(), QFontInfo(font).pixelSize());
        QCOMPARE(window.size(), QSize(700, 500));
        window.show();
        QTRY_COMPARE(window.CurrentEditor()->LeftMargin(), 300);
        QCOMPARE(window.CurrentEditor()->MailQuote(), std::string("| "));
        const int zstd = window.CompressUtilities.IndexOf("zstd");
        QVERIFY(zstd >= 0 && window.CompressUtilities.Count() == 3); // beside the two built-in tools
        QCOMPARE(window.CompressUtilities.CommandLine(zstd), std::string("zstd -q &F -o &Z"));
        QCOMPARE(window.DefaultUtility, 2);
        QCOMPARE(window.PrintTitle, std::string("Minutes"));
        QVERIFY(!window.PrintPageNumbers);
        QCOMPARE(window.OpenDir, dir / "open");
        QCOMPARE(window.SaveDir, dir / "save");
        // Print-and-exit writes nothing.
        const std::string before = ReadFile(name);
        window.NoSaveSettings = true;
        window.CurrentEditor()->SetWrapMode(TWrapModes::opPrinter);
        TQVIniFile store(name);
        window.SaveSettings(store);
        store.UpdateFile();
        QCOMPARE(ReadFile(name), before);
    }

    void aNewPageTakesTheSettingsButNotTheTabStopsMetricsOrTripleClick() {
        TQuorvel window;
        TEditorSettings unusual = Unusual();
        unusual.Keys = EditorSettings(*window.CurrentEditor()).Keys;
        std::swap(unusual.Keys[3], unusual.Keys[4]); // left and right change places
        ApplyEditorSettings(*window.CurrentEditor(), unusual);
        TFileEditor& page = *window.OpenFileInPage({}, true);
        TEditorSettings copied = EditorSettings(page);
        QVERIFY(copied.TabStops.empty());
        QCOMPARE(copied.PrinterMetrics[0], 0.5f);
        QVERIFY(!copied.TripleClick);
        copied.TabStops = unusual.TabStops;
        copied.PrinterMetrics = unusual.PrinterMetrics;
        copied.TripleClick = true;
        QVERIFY(copied == unusual);
        // Both swapped keys still work on the new page.
        page.SetWindowText("abc");
        page.setFocus();
        QTest::keyClick(&page, Qt::Key_Left);
        QCOMPARE(page.CaretOffset(), 1);
        QTest::keyClick(&page, Qt::Key_Right);
        QCOMPARE(page.CaretOffset(), 0);
    }

    void theRecentListNumbersMovesShortensAndDrops() {
        QMenu menu;
        QAction* exit = menu.addAction("E&xit");
        menu.addAction("below");
        TFileList list;
        list.SetMaxFilesOnList(3);
        list.SetMenu(&menu, exit);
        for (const char* name : {"/d/A", "/d/B", "/d/C"})
            list.AddFile(name);
        auto captions = [&] {
            QStringList texts;
            for (QAction* action : menu.actions())
                texts << (action->isSeparator() ? "-" : action->text());
            return texts.join('|');
        };
        QCOMPARE(captions(), QString("E&xit|-|&1. /d/C|&2. /d/B|&3. /d/A|below"));
        list.AddFile("/d/B");
        list.AddFile("/d/b"); // another file on this system
        QCOMPARE(captions(), QString("E&xit|-|&1. /d/b|&2. /d/B|&3. /d/C|below"));
        list.AddFile("/d/b");
        QCOMPARE(list.Count(), 3);
        list.SetMaxFilesOnList(1);
        QCOMPARE(captions(), QString("E&xit|-|&1. /d/b|below"));
        bool raised = false;
        try {
            list.Entry(1);
        } catch (const Exception& e) {
            raised = std::string(e.what()) == "File list index out of bounds";
        }
        QVERIFY(raised);
        QAction stranger;
        raised = false;
        try {
            list.Clicked(&stranger);
        } catch (const Exception& e) {
            raised = std::string(e.what()) == "Could not locate file list entry";
        }
        QVERIFY(raised);
        QCOMPARE(ShortenedName("/home/ann/Documents/Letters/2000/ann.txt", 30),
                 QString("/home/ann/.../ann.txt"));
        QCOMPARE(ShortenedName("/home/ann/a.txt", 30), QString("/home/ann/a.txt"));
        QCOMPARE(ShortenedName("/x/" + std::string(40, 'n') + ".txt", 30), QString(27, 'n') + "...");
        QCOMPARE(ShortenedName("/very/long/folder/name/abcdefghijklmnopqrst.txt", 30),
                 QString("abcdefghijklmnopqrst.txt")); // no room for a folder and "/.../"
        list.AddFile("/d/R&D.txt");
        QCOMPARE(list.Item(0)->text(), QString("&1. /d/R&&D.txt"));
    }

    void theRecentListIsStoredAndTenEntriesComeBack() {
        TQVIniFile store;
        store.WriteInteger("File History", "FileListCount", 10);
        for (int i = 1; i <= 10; ++i)
            store.WriteString("File History", "FileList" + std::to_string(i), "/f/" + std::to_string(i));
        store.WriteInteger("File History", "MaxFilesOnList", 10);
        TFileList list;
        list.SetMaxFilesOnList(6);
        list.LoadFromStore(store);
        QCOMPARE(list.Count(), 10);
        QCOMPARE(list.Entry(0), fs::path("/f/1"));
        QCOMPARE(list.Entry(9), fs::path("/f/10"));
        list.AddFile("/f/new\n[Editor]"); // never stored
        list.AddFile("/f/5");
        TQVIniFile saved;
        list.SaveToStore(saved);
        QCOMPARE(saved.ReadString("File History", "FileList1", ""), std::string("/f/5"));
        QCOMPARE(saved.ReadString("File History", "FileList6", ""), std::string("/f/6"));
        QCOMPARE(saved.ReadInteger("File History", "FileListCount", 0), 10);
    }
};

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
