// The window's mail commands through their keys, dialogs and questions, answered with real key and
// mouse events.

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>

#include "ScriptedMessages.h"
#include "TestFiles.h"
#include "WindowTesting.h"
#include "app/FileDialogs.h"
#include "app/ReformatDialog.h"

namespace fs = std::filesystem;

namespace {

std::string WholeText(TMailEditor& editor) {
    return editor.Text().GetText(0, editor.TextSize());
}

// Types `text` over what a field holds.
void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
}

// Answers the next file dialog with `name` in its name field and Enter.
void AnswerFileDialog(const fs::path& name, QString* title = nullptr) {
    AnswerModal([name, title](QWidget& dialog) {
        if (title) *title = dialog.windowTitle();
        auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
        field->setText(QString::fromStdString(name.string()));
        QTest::keyClick(field, Qt::Key_Return);
    });
}

} // namespace

class MailCommandsTest : public QObject {
    Q_OBJECT
private slots:
    void reformatQuotedTextAnsweredThroughItsDialog() {
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("John> aa\nJohn> bb\n");
        editor.GoToOffset(0, false);
        QString existing, replace;
        AnswerModal([&](QWidget& dialog) {
            auto& reformat = static_cast<TReformatDialog&>(dialog);
            existing = reformat.ExistingQuotes()->text();
            replace = reformat.ReplaceWith()->text();
            Retype(reformat.ReplaceWith(), "> ");
            QTest::keyClick(reformat.ReplaceWith(), Qt::Key_Return);
        });
        TRealBoxes boxes([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Y); });
        w.Key(Qt::Key_F5, Qt::ControlModifier);
        QCOMPARE(existing, QString("John>")); // the quote at the caret
        QCOMPARE(replace, QString(">"));      // the editor's mail quote
        QCOMPARE(boxes.Asked, QStringList{"Reformat text from this point onwards?"});
        QCOMPARE(boxes.Stuck, 0);
        QCOMPARE(WholeText(editor), std::string(">  aa  bb\n"));
    }

    void flowTextAsksOnlyWithoutASelection() {
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("aa\nbb\n\ncc\ndd");
        for (const Qt::Key answer : {Qt::Key_N, Qt::Key_Y}) {
            TRealBoxes boxes([answer](QMessageBox& box) { QTest::keyClick(&box, answer); });
            editor.GoToOffset(0, false);
            w.Key(Qt::Key_F5, Qt::ShiftModifier);
            QCOMPARE(boxes.Asked, QStringList{"Reformat text from this point onwards?"});
            QCOMPARE(WholeText(editor),
                     std::string(answer == Qt::Key_N ? "aa\nbb\n\ncc\ndd" : "aa bb\n\ncc dd"));
        }
        editor.SetWindowText("aa\nbb\n\ncc\ndd");
        editor.SetSelection(editor.OffsetToPos(0), editor.OffsetToPos(5), TSelModes::smStream);
        TScriptedMessages none;
        w.Key(Qt::Key_F5, Qt::ShiftModifier);
        QVERIFY(none.Asked.empty());
        QCOMPARE(WholeText(editor), std::string("aa bb\n\ncc\ndd"));
    }

    void decodingAsksForEachFileAndReportsIt() {
        TTempDir dir;
        WriteFile(dir / "data.bin", std::string("\x01\x02 binary \xff\x00 bytes", 17));
        WriteFile(dir / "empty.bin", "");
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("mail text\n");
        editor.SetWrapMode(TWrapModes::opNone);
        QCOMPARE(editor.EncodeFile(dir / "data.bin", "data.bin"), TEncodeResult::erDone);
        QCOMPARE(editor.EncodeFile(dir / "data.bin", "second.bin"), TEncodeResult::erDone);
        fs::create_directories(dir / "out");
        // The first file is saved where the Save dialog says, the second one ignored.
        QStringList shown;
        QString saveTitle;
        AnswerModal([&](QWidget& dialog) {
            shown << dialog.windowTitle() << dialog.findChild<QLabel*>()->text();
            AnswerFileDialog(dir / "out" / "copy.bin", &saveTitle);
            QTest::mouseClick(Button(dialog, "&Save"), Qt::LeftButton);
        });
        TRealBoxes boxes([&](QMessageBox& box) {
            QTest::keyClick(&box, Qt::Key_Return);
            if (shown.size() == 2)
                AnswerModal([&](QWidget& dialog) {
                    shown << dialog.findChild<QLabel*>()->text();
                    QTest::mouseClick(Button(dialog, "&Ignore"), Qt::LeftButton);
                });
        });
        w.Key(Qt::Key_U, Qt::ControlModifier);
        QCOMPARE(shown, (QStringList{"UUDecode File", "uuencoding of data.bin detected",
                                     "uuencoding of second.bin detected"}));
        QCOMPARE(saveTitle, QString("Save Decoded File"));
        QCOMPARE(boxes.Asked, QStringList{"Successful Decode of " +
                                          QString::fromStdString((dir / "out" / "copy.bin").string()) +
                                          " - file and section checksums OK"});
        QCOMPARE(ReadFile(dir / "out" / "copy.bin"), ReadFile(dir / "data.bin"));
        QVERIFY(!fs::exists(fs::current_path() / "second.bin")); // ignored: written nowhere
    }

    void toolsAreDefinedInTheirDialogsAndCancelKeepsThem() {
        TWindow w;
        auto defineAs = [](const QString& name, const QString& extension, const QString& command) {
            return [=](QWidget& define) {
                const auto fields = define.findChildren<QLineEdit*>();
                Retype(fields.at(0), name);
                Retype(fields.at(1), command);
                Retype(fields.at(2), extension);
                QTest::mouseClick(Button(define, "O&K"), Qt::LeftButton);
            };
        };
        std::vector<std::string> refused;
        for (const bool keep : {false, true}) {
            AnswerModal([&](QWidget& tools) {
                auto* list = tools.findChild<QListWidget*>();
                QCOMPARE(list->count(), 2);
                QVERIFY(!Button(tools, "&Edit")->isEnabled() && !Button(tools, "&Delete")->isEnabled());
                // "zips" is refused with a message and the dialog stays; "zip" is taken.
                TRealBoxes boxes([&](QMessageBox& box) {
                    refused.push_back(box.text().toStdString());
                    QTest::keyClick(&box, Qt::Key_Return);
                    AnswerModal([&](QWidget& define) {
                        Retype(define.findChildren<QLineEdit*>().at(2), "zip");
                        QTest::mouseClick(Button(define, "O&K"), Qt::LeftButton);
                    });
                });
                AnswerModal(defineAs("PKZIP", "zips", "zip -9 &Z &F"));
                QTest::mouseClick(Button(tools, "&Add"), Qt::LeftButton);
                QCOMPARE(list->count(), 2); // the built-in "pkzip" has new fields
                QCOMPARE(list->item(1)->text(), QString("pkzip"));
                QVERIFY(Button(tools, "&Edit")->isEnabled());
                QTest::mouseClick(Button(tools, keep ? "O&K" : "Cancel"), Qt::LeftButton);
            });
            MenuCommand(w.window, "Set&up", "&Tools...")->trigger();
            const TCompressUtilityList& list = w.window.CompressUtilities;
            QCOMPARE(list.CommandLine(list.IndexOf("pkzip")),
                     std::string(keep ? "zip -9 &Z &F" : "pkzip &Z &F"));
        }
        QCOMPARE(refused.size(), size_t(2));
        QCOMPARE(refused[0], std::string("Extension limited to three Characters and restricted to those "
                                         "characters permitted for a filename"));
    }

    void mergeBringsFilesInAsItsTransformSays() {
        TTempDir dir;
        WriteFile(dir / "a.txt", "AAA\n");
        WriteFile(dir / "b.txt", "BBB\n");
        WriteFile(dir / "empty.txt", "");
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("end\n");
        editor.GoToOffset(0, false);
        w.window.MergeDir = dir / "";
        bool toolsEnabled = true;
        AnswerModal([&](QWidget& dialog) {
            auto& merge = static_cast<TMergeDialog&>(dialog);
            QCOMPARE(merge.windowTitle(), QString("Merge File"));
            QCOMPARE(merge.Transforms()->checkedId(), int(mmNone));
            toolsEnabled = merge.Tools()->isEnabled();
            QTest::mouseClick(merge.Transforms()->button(mmCompress), Qt::LeftButton);
            QVERIFY(merge.Tools()->isEnabled());
            QTest::mouseClick(merge.Transforms()->button(mmMailQuotes), Qt::LeftButton);
            QVERIFY(!merge.Tools()->isEnabled());
            auto* name = dialog.findChild<QLineEdit*>("fileNameEdit");
            name->setText("\"a.txt\" \"b.txt\"");
            QTest::keyClick(name, Qt::Key_Return);
        });
        w.Key(Qt::Key_M, Qt::ControlModifier);
        QVERIFY(!toolsEnabled);
        QCOMPARE(w.window.MergeMode, int(mmMailQuotes));
        QCOMPARE(WholeText(editor), std::string(">AAA\n>BBB\nend\n"));
        QCOMPARE(w.window.QuickList, std::vector<fs::path>{(dir / "b.txt").parent_path()});

        // Encoding an empty file, and a tool without its archive placeholder, are reported.
        TScriptedMessages messages;
        w.window.MergeMode = mmUUEncode;
        w.window.MergeFiles({dir / "empty.txt"});
        w.window.CompressUtilities.AddUtility("broken", "zip", "zip -9 &F");
        w.window.DefaultUtility = w.window.CompressUtilities.IndexOf("broken");
        w.window.MergeMode = mmCompress;
        w.window.MergeFiles({dir / "a.txt"});
        QCOMPARE(messages.Asked, (std::vector<std::string>{"File is Empty! - not encoded",
                                                           "Error compressing " + (dir / "a.txt").string()}));
    }

    void quickJumpKeepsTenDirectoriesTheLatestFirst() {
        std::vector<fs::path> list;
        for (int i = 0; i < 12; ++i)
            RememberDirectory(list, "/d" + std::to_string(i));
        QCOMPARE(list.size(), QuickJumpSize);
        QCOMPARE(list.front(), fs::path("/d11"));
        QCOMPARE(list.back(), fs::path("/d2"));
        for (int i = 0; i < 11; ++i)
            RememberDirectory(list, "/d5");
        QCOMPARE(list.size(), QuickJumpSize);
        QCOMPARE(list.front(), fs::path("/d5"));
        QCOMPARE(std::count(list.begin(), list.end(), fs::path("/d5")), 1);

        // Choosing a directory in the list moves the dialog there, and it stays open.
        TTempDir dir;
        fs::create_directories(dir / "there");
        list.insert(list.begin(), dir / "there");
        TFileDialog dialog(nullptr, "Open File", dir / "", "All Files (*)", list);
        dialog.show();
        QCOMPARE(dialog.QuickJump()->itemText(0), QString::fromStdString((dir / "there").string()));
        dialog.QuickJump()->setCurrentIndex(0);
        emit dialog.QuickJump()->activated(0);
        QCOMPARE(fs::path(dialog.directory().absolutePath().toStdString()), dir / "there");
        QVERIFY(dialog.isVisible());
    }
};

QTEST_MAIN(MailCommandsTest)
#include "MailCommandsTest.moc"
