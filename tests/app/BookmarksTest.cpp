// Bookmarks, the Add Bookmark and Goto dialogs and Goto Last Bookmark, through their keys and buttons.

#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>

#include "ScriptedMessages.h"
#include "WindowTesting.h"
#include "app/AddBookmarkDialog.h"
#include "app/GotoDialog.h"
#include "app/SimpleCombo.h"

namespace {

// The dialog that `key` opens beside the window, made the active window as a desktop's window manager
// makes it (the offscreen platform does not).
template <typename TDialog>
TDialog& OpenBeside(TWindow& w, Qt::Key key, TDialog* (TQuorvel::*dialog)() const,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QApplication::setActiveWindow(&w.window);
    w.Key(key, modifiers);
    TDialog* shown = (w.window.*dialog)();
    QApplication::setActiveWindow(shown);
    return *shown;
}

TAddBookmarkDialog& AddBookmarkDialog(TWindow& w) {
    return OpenBeside(w, Qt::Key_F11, &TQuorvel::AddBookmarkDialog);
}

TGotoDialog& GotoDialog(TWindow& w) {
    return OpenBeside(w, Qt::Key_G, &TQuorvel::GotoDialog, Qt::ControlModifier);
}

void Retype(QLineEdit* field, const QString& text) {
    field->selectAll();
    QTest::keyClicks(field, text);
}

} // namespace

class BookmarksTest : public QObject {
    Q_OBJECT
private slots:
    void aBookmarkFollowsEditsBeforeItAndDiesWithItsPage() {
        TWindow w;
        TMailEditor& first = *w.window.CurrentEditor();
        first.SetWindowText("alpha\nbeta\ngamma\n");
        first.GoToOffset(11, false);                                               // "gamma"
        QTest::keyClick(AddBookmarkDialog(w).Bookmarks()->Edit(), Qt::Key_Return); // OK adds Bookmark0
        const TBookmarkHistory& history = w.window.Bookmarks();
        QCOMPARE(history.Names(), QStringList{"Bookmark0"});
        first.GoToOffset(0, false);
        w.Key(Qt::Key_X);
        w.Key(Qt::Key_Y);
        QCOMPARE(history.Bookmark(0).Position(), 13);
        // A deletion around it takes it to where the deleted text began.
        first.SetSelection(first.OffsetToPos(10), first.OffsetToPos(15), TSelModes::smStream);
        w.Key(Qt::Key_Delete);
        QCOMPARE(history.Bookmark(0).Position(), 10);

        w.window.New();
        QCOMPARE(w.window.PageIndex(), 1);
        w.Key(Qt::Key_F12);
        QCOMPARE(w.window.PageIndex(), 0);
        QCOMPARE(first.CaretOffset(), 10);
        QVERIFY(MenuCommand(w.window, "&Search", "Goto Last B&ookmark")->isEnabled());

        first.SetModified(false);
        w.window.CloseEditorPage(0);
        QCOMPARE(history.Count(), 0);
        QVERIFY(!MenuCommand(w.window, "&Search", "Goto Last B&ookmark")->isEnabled());
        // A page that shows another text loses its bookmarks too.
        TMailEditor& second = *w.window.CurrentEditor();
        second.SetWindowText("text");
        QTest::keyClick(AddBookmarkDialog(w).Bookmarks()->Edit(), Qt::Key_Return);
        QCOMPARE(history.Count(), 1);
        second.SetModified(false);
        w.window.Close(); // the only page stays, empty
        QCOMPARE(history.Count(), 0);
    }

    void addProposesNumberedNamesAndDeleteTakesThemOut() {
        TWindow w;
        w.window.CurrentEditor()->SetWindowText("some text");
        TAddBookmarkDialog& dialog = AddBookmarkDialog(w);
        TSimpleCombo& names = *dialog.Bookmarks();
        QCOMPARE(names.Text(), QString("Bookmark0"));
        QVERIFY(Button(dialog, "&Cancel")->isVisible());
        for (int i = 0; i < 3; ++i) {
            QTest::mouseClick(Button(dialog, "&Add"), Qt::LeftButton);
            w.Key(Qt::Key_Right); // the window takes over; F11 makes the dialog active again
            QTest::keyClick(AddBookmarkDialog(w).Bookmarks()->Edit(), Qt::Key_End);
        }
        QCOMPARE(w.window.Bookmarks().Names(), (QStringList{"Bookmark0", "Bookmark1", "Bookmark2"}));
        QCOMPARE(names.Text(), QString("Bookmark3"));
        QVERIFY(Button(dialog, "&Close")->isVisible() && !Button(dialog, "&Cancel")->isVisible());
        // A chosen line's name cannot be added again; Delete takes the chosen one out.
        QListWidget& list = *names.List();
        list.setFocus();
        QTest::keyClick(&list, Qt::Key_Home);
        QTest::keyClick(&list, Qt::Key_End);
        QCOMPARE(names.Text(), QString("Bookmark2"));
        QVERIFY(!Button(dialog, "&Add")->isEnabled());
        QTest::mouseClick(Button(dialog, "&Delete"), Qt::LeftButton);
        QCOMPARE(w.window.Bookmarks().Names(), (QStringList{"Bookmark0", "Bookmark1"}));
        QCOMPARE(names.Items(), (QStringList{"Bookmark0", "Bookmark1"}));
        // The last one added is gone: Goto Last Bookmark has nothing to go to.
        w.window.UpdateCommandStates();
        QVERIFY(!MenuCommand(w.window, "&Search", "Goto Last B&ookmark")->isEnabled());
    }

    void gotoTakesLinesPagesAndBookmarks() {
        TWindow w;
        TMailEditor& editor = *w.window.CurrentEditor();
        editor.SetWindowText("one\ntwo\nthree\n\x0c"
                             "four\nfive\n");
        editor.GoToOffset(4, false);
        QTest::keyClick(AddBookmarkDialog(w).Bookmarks()->Edit(), Qt::Key_Return);
        editor.GoToOffset(0, false);
        TGotoDialog& dialog = GotoDialog(w);
        QLineEdit& destination = *dialog.Destination()->Edit();
        QCOMPARE(destination.text(), QString("1")); // the caret's line
        Retype(&destination, "4");                  // the page break's line does not count
        QTest::mouseClick(Button(dialog, "&Goto"), Qt::LeftButton);
        QCOMPARE(editor.CaretOffset(), 15);
        QCOMPARE(dialog.OkButton()->text(), QString("&Close"));

        for (const auto& [typed, message] : {std::pair{"x", "The destination must be a number"},
                                             std::pair{"9", "The specified line does not exist"}}) {
            TScriptedMessages boxes;
            Retype(&destination, typed);
            QTest::mouseClick(Button(dialog, "&Goto"), Qt::LeftButton);
            QCOMPARE(boxes.Asked, std::vector<std::string>{message});
            QCOMPARE(editor.CaretOffset(), 15);
        }

        dialog.Kind(TGotoDialog::gkPage)->setFocus();
        QTest::keyClick(dialog.Kind(TGotoDialog::gkPage), Qt::Key_Space);
        Retype(&destination, "1");
        QTest::mouseClick(Button(dialog, "&Goto"), Qt::LeftButton);
        QCOMPARE(editor.CaretOffset(), 0);

        dialog.Kind(TGotoDialog::gkBookmark)->setFocus();
        QTest::keyClick(dialog.Kind(TGotoDialog::gkBookmark), Qt::Key_Space);
        {
            TScriptedMessages boxes;
            Retype(&destination, "nowhere");
            QTest::mouseClick(Button(dialog, "&Goto"), Qt::LeftButton);
            QCOMPARE(boxes.Asked, std::vector<std::string>{"Destination is not a bookmark"});
        }
        QListWidget& list = *dialog.Destination()->List();
        QCOMPARE(list.count(), 1);
        const QPoint line = list.visualItemRect(list.item(0)).center();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, line);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, line);
        QCOMPARE(editor.CaretOffset(), 4);
        QVERIFY(!dialog.isVisible());
    }
};

QTEST_MAIN(BookmarksTest)
#include "BookmarksTest.moc"
