#pragma once

#include <QWidget>

class QTextBrowser;

// A small window that shows the program's help pages and follows their links; links to the web go to
// the desktop's browser. Its title is "Quorvel Help - " and the page's title.
class THelpWindow : public QWidget {
    Q_OBJECT
public:
    // The help window of `parent`'s window, made on first use. A window of its own for each: one
    // above a modal dialog still takes keys and clicks while the dialog waits.
    static THelpWindow& For(QWidget* parent);

    void ShowPage(const QString& fileName);
    QString Page() const;
    QTextBrowser* Browser() const { return m_Browser; }

private:
    explicit THelpWindow(QWidget* parent);
    void ShowTitle();

    QTextBrowser* m_Browser;
};
