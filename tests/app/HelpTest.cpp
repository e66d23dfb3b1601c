// The program's help: F1, the Help menu and every dialog's Help button show their topic's page; the
// home page goes to the desktop's browser.

#include <QDesktopServices>
#include <QTest>
#include <QUrl>

#include "ScriptedMessages.h"
#include "WindowTesting.h"
#include "app/AddBookmarkDialog.h"
#include "app/FindDialog.h"
#include "app/GotoDialog.h"
#include "app/HelpTopics.h"
#include "app/HelpWindow.h"

namespace {

// The page that `parent`'s help window shows, or empty; the window is closed again.
QString ShownPage(QWidget* parent) {
    THelpWindow& help = THelpWindow::For(parent);
    const QString page = help.isVisible() ? help.Page() : QString();
    help.close();
    return page;
}

} // namespace

// Takes the addresses the program hands to the desktop.
class TUrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> Opened;
public slots:
    void Open(const QUrl& url) { Opened << url; }
};

class HelpTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { SetHelpFolder(QV_HELP_FOLDER); }

    void everyTopicHasItsPage() {
        for (THelpTopic topic :
             {THelpTopic::htContents, THelpTopic::htEditor, THelpTopic::htIntroduction, THelpTopic::htFind,
              THelpTopic::htReplace, THelpTopic::htPreferences, THelpTopic::htAddBookmark, THelpTopic::htGoto,
              THelpTopic::htTabStops, THelpTopic::htFileProperties, THelpTopic::htTools,
              THelpTopic::htDefineTool, THelpTopic::htDecode, THelpTopic::htMerge, THelpTopic::htPageSetup})
            QVERIFY2(QFile::exists(HelpPage(topic)), qPrintable(HelpPage(topic)));
    }

    void f1AndTheHelpMenuShowTheirPages() {
        TWindow w;
        w.Key(Qt::Key_F1);
        THelpWindow& help = THelpWindow::For(&w.window);
        QCOMPARE(help.windowTitle(), QString("Quorvel Help - The Editor"));
        QCOMPARE(ShownPage(&w.window), HelpPage(THelpTopic::htEditor));
        MenuCommand(w.window, "&Help", "&Help Topics")->trigger();
        QCOMPARE(ShownPage(&w.window), HelpPage(THelpTopic::htContents));
        MenuCommand(w.window, "&Help", "&Introduction")->trigger();
        QCOMPARE(ShownPage(&w.window), HelpPage(THelpTopic::htIntroduction));
    }

    void everyHelpButtonShowsItsTopic() {
        TWindow w;
        w.window.CurrentEditor()->SetWindowText("text");
        // The dialogs that stay open beside the text.
        const struct {
            const char* Item;
            std::function<QWidget*()> Dialog;
            THelpTopic Topic;
        } beside[] = {
            {"&Find...", [&] { return w.window.FindDialog(); }, THelpTopic::htFind},
            {"&Replace...", [&] { return w.window.ReplaceDialog(); }, THelpTopic::htReplace},
            {"&Goto...", [&] { return w.window.GotoDialog(); }, THelpTopic::htGoto},
            {"Add &Bookmark", [&] { return w.window.AddBookmarkDialog(); }, THelpTopic::htAddBookmark}};
        for (const auto& dialog : beside) {
            MenuCommand(w.window, "&Search", dialog.Item)->trigger();
            QWidget* shown = dialog.Dialog();
            QTest::mouseClick(Button(*shown, "&Help"), Qt::LeftButton);
            QCOMPARE(ShownPage(shown), HelpPage(dialog.Topic));
            shown->close();
        }
        // The modal ones.
        const struct {
            const char* Menu;
            const char* Item;
            THelpTopic Topic;
        } modal[] = {{"Set&up", "&Preferences...", THelpTopic::htPreferences},
                     {"Forma&t", "&Tab Stops...", THelpTopic::htTabStops},
                     {"Set&up", "&Tools...", THelpTopic::htTools},
                     {"&File", "P&age Setup", THelpTopic::htPageSetup}};
        for (const auto& dialog : modal) {
            QString page;
            AnswerModal([&](QWidget& shown) {
                QTest::mouseClick(Button(shown, "&Help"), Qt::LeftButton);
                page = ShownPage(&shown);
                QTest::keyClick(&shown, Qt::Key_Escape);
            });
            MenuCommand(w.window, dialog.Menu, dialog.Item)->trigger();
            QCOMPARE(page, HelpPage(dialog.Topic));
        }
    }

    void theHomePageGoesToTheBrowser() {
        TWindow w;
        TUrlCatcher catcher;
        QDesktopServices::setUrlHandler("https", &catcher, "Open");
        MenuCommand(w.window, "&Help", "&Quorvel Home Page")->trigger();
        QDesktopServices::unsetUrlHandler("https");
        QCOMPARE(catcher.Opened, QList<QUrl>{QUrl(QV_HOME_PAGE)});
        // The offscreen platform has no browser.
        TScriptedMessages boxes;
        MenuCommand(w.window, "&Help", "&Quorvel Home Page")->trigger();
        QCOMPARE(boxes.Asked, std::vector<std::string>{"No default Web Browser"});
    }

    void aboutSaysWhatTheProgramIs() {
        TWindow w;
        TScriptedMessages boxes;
        MenuCommand(w.window, "&Help", "&About...")->trigger();
        QCOMPARE(boxes.Asked.size(), 1u);
        QVERIFY(QString::fromStdString(boxes.Asked[0])
                    .contains(QString("Version %1 (%2-bit version)").arg(QV_VERSION).arg(sizeof(void*) * 8)));
    }
};

QTEST_MAIN(HelpTest)
#include "HelpTest.moc"
