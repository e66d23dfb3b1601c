#include "app/HelpWindow.h"

#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

THelpWindow& THelpWindow::For(QWidget* parent) {
    QWidget* owner = parent ? parent->window() : nullptr;
    if (owner)
        for (THelpWindow* window : owner->findChildren<THelpWindow*>(QString(), Qt::FindDirectChildrenOnly))
            return *window;
    return *new THelpWindow(owner);
}

THelpWindow::THelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setAttribute(Qt::WA_DeleteOnClose, !parent); // one without an owner goes when it is closed
    m_Browser = new QTextBrowser(this);
    m_Browser->setOpenExternalLinks(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_Browser);
    resize(520, 440);
    connect(m_Browser, &QTextBrowser::sourceChanged, this, &THelpWindow::ShowTitle);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void THelpWindow::ShowPage(const QString& fileName) {
    m_Browser->setSource(QUrl::fromLocalFile(fileName));
    ShowTitle();
    show();
    raise();
    activateWindow();
}

QString THelpWindow::Page() const {
    return m_Browser->source().toLocalFile();
}

void THelpWindow::ShowTitle() {
    setWindowTitle("Quorvel Help - " + m_Browser->documentTitle());
}
