#include "app/HelpTopics.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QShortcut>

#include "app/HelpWindow.h"
#include "text/MessageBox.h"

namespace {

QString& ChosenFolder() {
    static QString folder;
    return folder;
}

} // namespace

QString HelpFolder() {
    if (!ChosenFolder().isEmpty()) return ChosenFolder();
    const QDir program(QCoreApplication::applicationDirPath());
    for (const char* relative : {"share/quorvel/help", "../share/quorvel/help"})
        if (QFileInfo(program.filePath(relative)).isDir()) return QDir::cleanPath(program.filePath(relative));
    return QDir::cleanPath(program.filePath("../share/quorvel/help"));
}

void SetHelpFolder(const QString& folder) {
    ChosenFolder() = folder;
}

QString HelpPage(THelpTopic topic) {
    const int number = static_cast<int>(topic);
    const QString name = number == 0 ? QString("index.html") : QString("topic%1.html").arg(number);
    return QDir(HelpFolder()).filePath(name);
}

void ShowHelp(QWidget* parent, THelpTopic topic) {
    const QString page = HelpPage(topic);
    if (!QFileInfo(page).isFile()) {
        MessageDlg("The help page " + page.toStdString() + " cannot be found", TMsgDlgType::mtError,
                   TMsgButtons::mbOK);
        return;
    }
    THelpWindow::For(parent).ShowPage(page);
}

void AddHelpKey(QWidget* dialog, THelpTopic topic) {
    auto* key = new QShortcut(QKeySequence(Qt::Key_F1), dialog);
    QObject::connect(key, &QShortcut::activated, dialog, [dialog, topic] { ShowHelp(dialog, topic); });
}
