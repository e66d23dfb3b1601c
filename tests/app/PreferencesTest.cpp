// The Preferences, Tab Stops and File Properties dialogs: each control against the property it shows
// and sets, and what OK and Cancel leave behind, answered with real key and mouse events.

#include <filesystem>

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QTabWidget>
#include <QTest>

#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FileList.h"
#include "app/FilePropertiesDialog.h"
#include "app/PreferencesDialog.h"
#include "app/SimpleCombo.h"
#include "app/TabStopsDialog.h"
#include "editor/Measurement.h"

namespace fs = std::filesystem;

namespace {

QString N(long long value) {
    return QString::number(value);
}

// Every value the dialog edits, in one list.
QStringList Values(const TPreferences& p) {
    const TEditorSettings& e = p.Editor;
    return {QString::fromStdString(p.CommonTextFileTypes),
            N(p.MaxFilesOnList),
            N(p.UseSaveDir),
            N(p.StartUp),
            N(p.NewLook),
            p.MailQuote,
            N(e.FileLocking),
            N(e.BackupFiles),
            N(int(e.SaveMode)),
            N(e.MaxUndoLevels),
            N(e.SelectAfterPaste),
            N(int(e.DoubleClickMode)),
            N(e.TripleClick),
            N(e.WPMode),
            N(int(e.WrapMode)),
            N(e.MaxLineLength),
            N(e.ShowLineBreaks),
            N(e.HorzTracking),
            N(e.VertTracking),
            N(e.AutoScroll),
            N(int(e.ShowPageBreaks)),
            N(int(e.LineNumberMode)),
            N(int(e.PagingMode))};
}

// The button, or the field a label names, with this caption; its page of the dialog is shown.
template <typename TWidget> TWidget* Control(TPreferencesDialog& dialog, const QString& caption) {
    QWidget* found = nullptr;
    for (QAbstractButton* button : dialog.findChildren<QAbstractButton*>())
        if (button->text() == caption) found = button;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == caption) found = label->buddy();
    for (QWidget* page = found; page; page = page->parentWidget())
        if (dialog.Pages()->indexOf(page) >= 0) dialog.Pages()->setCurrentWidget(page);
    return qobject_cast<TWidget*>(found);
}

// A check box or radio button is ticked with the space bar: a click in the middle of a wide one can
// miss its box and caption.
void Tick(QAbstractButton* button) {
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Space);
}

void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
}

TPreferences Preferences(TQuorvel& window) {
    return {window.CommonTextFileTypes,
            window.FileList().MaxFilesOnList(),
            window.UseSaveDir,
            window.StartUp,
            window.NewLook(),
            QString::fromStdString(window.CurrentEditor()->MailQuote()),
            EditorSettings(*window.CurrentEditor())};
}

} // namespace

class PreferencesTest : public QObject {
    Q_OBJECT
private slots:
    void eachControlShowsAndSetsItsOwnValue() {
        TPreferences base{"*.txt", 6, false, 0, false, ">", {}};
        base.Editor.FileLocking = base.Editor.BackupFiles = base.Editor.TripleClick = false;
        base.Editor.HorzTracking = base.Editor.VertTracking = base.Editor.AutoScroll = false;
        base.Editor.WPMode = true;
        base.Editor.SaveMode = TSaveMode::smParagraph;
        base.Editor.WrapMode = TWrapModes::opAbsoluteWrap;
        base.Editor.MaxLineLength = 76;
        base.Editor.ShowPageBreaks = TPageBreakDisplayModes::pbNever;
        // Caption, the value's place in Values and what it becomes.
        const struct {
            const char* Caption;
            int Index;
            const char* Value;
        } controls[] = {{"File Loc&king", 6, "1"},
                        {"Create Back&up Files", 7, "1"},
                        {"&Different Open && Save Directories", 2, "1"},
                        {"Save with Line &Breaks", 8, "1"},
                        {"&Prompt for Save Format", 8, "2"},
                        {"&Select Pasted Text", 10, "1"},
                        {"&Extended Double Click ", 11, "1"},
                        {"&Triple Click Selects Paragraph", 12, "1"},
                        {"&Allow Cursor beyond End of Line", 13, "0"},
                        {"&Wrap on Line Breaks", 14, "0"},
                        {"Wrap on Window Bo&undaries", 14, "1"},
                        {"Wrap To Printer Pa&ge Width", 14, "3"},
                        {"Show Hard Line &Breaks", 16, "1"},
                        {"&Horz. Thumb Tracking", 17, "1"},
                        {"&Vert. Thumb Tracking", 18, "1"},
                        {"Enable Autos&croll", 19, "1"},
                        {"&Always", 20, "1"},
                        {"&Only in Wrap to Printer Page Width Mode", 20, "2"},
                        {"Relative to Top of &Page", 21, "1"},
                        {"&Text Cursor Constant", 22, "1"},
                        {"New Loo&k Toolbar", 4, "1"},
                        {"Sho&w File Open Dialog", 3, "1"},
                        {"Open &Last opened file", 3, "2"},
                        {"&Common Text File Types", 0, "*.q"},
                        {"Length of Recently Opened Files List", 1, "3"},
                        {"Ma&x Undo Levels", 9, "7"},
                        {"&Mail Quote Prefix", 5, "#"},
                        {"Ma&x Line Length:", 15, "40"}};
        TPreferencesDialog dialog(nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        for (const auto& control : controls) {
            dialog.Show(base);
            if (auto* field = Control<QLineEdit>(dialog, control.Caption))
                Retype(field, control.Value);
            else
                Tick(Control<QAbstractButton>(dialog, control.Caption));
            TPreferences read = base;
            dialog.Read(read);
            QStringList expected = Values(base);
            expected[control.Index] = control.Value;
            QCOMPARE(Values(read), expected);
        }
        // The line length counts only for wrapping after n characters.
        dialog.Show(base);
        QVERIFY(Control<QLineEdit>(dialog, "Ma&x Line Length:")->isEnabled());
        Tick(Control<QAbstractButton>(dialog, "&Wrap on Line Breaks"));
        QVERIFY(!Control<QLineEdit>(dialog, "Ma&x Line Length:")->isEnabled());
    }

    void okSetsEveryPageAndCancelNothing() {
        TWindow w;
        for (int page = 1; page < 3; ++page) { // pages with changes are not taken for new ones
            w.Key(Qt::Key_A);
            w.window.New();
        }
        QCOMPARE(w.window.PageCount(), 3);
        AnswerModal([](QWidget& widget) {
            auto& dialog = static_cast<TPreferencesDialog&>(widget);
            Tick(Control<QAbstractButton>(dialog, "Wrap on n &character"));
            Retype(Control<QLineEdit>(dialog, "Ma&x Line Length:"), "40");
            Retype(Control<QLineEdit>(dialog, "&Mail Quote Prefix"), "# ");
            Tick(Control<QAbstractButton>(dialog, "Open &Last opened file"));
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        MenuCommand(w.window, "Set&up", "&Preferences...")->trigger();
        QCOMPARE(w.window.StartUp, 2);
        for (int i = 0; i < 3; ++i) {
            TMailEditor& page = *w.window.Page(i);
            QCOMPARE(page.WrapMode(), TWrapModes::opAbsoluteWrap);
            QCOMPARE(page.MaxLineLength(), 40);
            QCOMPARE(page.MailQuote(), std::string("# "));
        }

        const QStringList before = Values(Preferences(w.window));
        std::vector<TEditorSettings> pages;
        for (int i = 0; i < 3; ++i)
            pages.push_back(EditorSettings(*w.window.Page(i)));
        AnswerModal([](QWidget& widget) {
            auto& dialog = static_cast<TPreferencesDialog&>(widget);
            Tick(Control<QAbstractButton>(dialog, "&Wrap on Line Breaks"));
            Tick(Control<QAbstractButton>(dialog, "Create Back&up Files"));
            Retype(Control<QLineEdit>(dialog, "Ma&x Undo Levels"), "ten");
            TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
            QTest::keyClick(&dialog, Qt::Key_Return);
            QCOMPARE(boxes.Asked, QStringList{"'ten' is not a valid integer value"});
            QVERIFY(dialog.isVisible());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        MenuCommand(w.window, "Set&up", "&Preferences...")->trigger();
        QCOMPARE(Values(Preferences(w.window)), before);
        for (int i = 0; i < 3; ++i)
            QVERIFY(EditorSettings(*w.window.Page(i)) == pages[static_cast<size_t>(i)]);
    }

    void tabStopsTakeTheTypedLengthEvenWithoutSet() {
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        auto tabStops = [&](std::function<void(TTabStopsDialog&)> answer) {
            AnswerModal([answer](QWidget& dialog) { answer(static_cast<TTabStopsDialog&>(dialog)); });
            MenuCommand(w.window, "Forma&t", "&Tab Stops...")->trigger();
        };
        tabStops([](TTabStopsDialog& dialog) {
            QTest::keyClicks(dialog.Stops()->Edit(), "1.5");
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QCOMPARE(editor.TabStopCount(), 1);
        QCOMPARE(editor.GetTabStop(0), 1.5f);
        tabStops([](TTabStopsDialog& dialog) {
            QCOMPARE(dialog.Stops()->Items(), QStringList{QString::fromStdString(FormatMeasurement(1.5f))});
            QTest::keyClicks(dialog.Stops()->Edit(), "0.5");
            QTest::mouseClick(Button(dialog, "&Set"), Qt::LeftButton);
            QCOMPARE(dialog.OkButton()->text(), QString("Close"));
            dialog.Stops()->Edit()->clear();
            QTest::keyClicks(dialog.Stops()->Edit(), "abc");
            TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Return); });
            QTest::keyClick(&dialog, Qt::Key_Return);
            QCOMPARE(boxes.Asked, QStringList{"Syntax Error in Measurement"});
        });
        QCOMPARE(editor.TabStopCount(), 2); // from left to right, and without the line that was no length
        QCOMPARE(editor.GetTabStop(0), 0.5f);
        QCOMPARE(editor.GetTabStop(1), 1.5f);
        tabStops([](TTabStopsDialog& dialog) {
            QTest::mouseClick(Button(dialog, "Clear &All"), Qt::LeftButton);
            QVERIFY(dialog.Stops()->Items().isEmpty());
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });
        QCOMPARE(editor.TabStopCount(), 2);
    }

    void filePropertiesShowTheFileAndSetReadOnlyForTheNextSave() {
        TWindow w;
        auto properties = [&](std::function<void(TFilePropertiesDialog&)> answer) {
            AnswerModal([answer](QWidget& dialog) { answer(static_cast<TFilePropertiesDialog&>(dialog)); });
            MenuCommand(w.window, "&File", "Prop&erties...")->trigger();
        };
        properties([](TFilePropertiesDialog& dialog) {
            QCOMPARE(dialog.FileName()->text(), QString("<untitled>"));
            QCOMPARE(dialog.SavedSize()->text(), QString("<not saved>"));
            QCOMPARE(dialog.Modified()->text(), QString("<not saved>"));
            QCOMPARE(dialog.SizeNow()->text(), QString("0 bytes"));
            QTest::keyClick(&dialog, Qt::Key_Escape);
        });

        TTempDir dir;
        const fs::path name = dir / "big.txt";
        WriteFile(name, std::string(1234567, 'x'));
        TMailEditor& editor = *w.window.OpenFileInPage(name, true);
        editor.SetWrapMode(TWrapModes::opNone);
        properties([&](TFilePropertiesDialog& dialog) {
            QCOMPARE(dialog.FileName()->text(), QString::fromStdString(name.string()));
            QCOMPARE(dialog.SizeNow()->text(), QString("1,234,567 bytes"));
            QCOMPARE(dialog.SavedSize()->text(), QString("1,234,567 bytes"));
            QVERIFY(!dialog.Attribute(0)->isChecked());
            Tick(dialog.Attribute(0));
            QTest::keyClick(&dialog, Qt::Key_Return);
        });
        QCOMPARE(editor.Document().FileAttributes(), int(faReadOnly));
        QVERIFY((fs::status(name).permissions() & fs::perms::owner_write) != fs::perms::none); // not yet
        w.Key(Qt::Key_Y);
        w.Key(Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(fs::file_size(name), 1234568u);
        QVERIFY((fs::status(name).permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                                   fs::perms::others_write)) == fs::perms::none);

        fs::remove(name);
        TScriptedMessages boxes;
        MenuCommand(w.window, "&File", "Prop&erties...")->trigger();
        QCOMPARE(boxes.Asked, std::vector<std::string>{"Cannot access " + name.string()});
    }
};

QTEST_MAIN(PreferencesTest)
#include "PreferencesTest.moc"
