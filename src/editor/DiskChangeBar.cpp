#include "editor/DiskChangeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "text/MessageBox.h"

TDiskChangeBar::TDiskChangeBar(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Raised);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);
    m_Message = new QLabel(this);
    m_Message->setWordWrap(true);
    m_Message->setForegroundRole(QPalette::ToolTipText);
    layout->addWidget(m_Message, 1);
    m_Reload = AddButton("&Reload", &TDiskChangeBar::OnReload);
    m_Keep = AddButton("&Keep Mine", &TDiskChangeBar::OnKeep);
    m_SaveAs = AddButton("Save &As...", &TDiskChangeBar::OnSaveAs);
    hide();
}

QPushButton* TDiskChangeBar::AddButton(const QString& caption,
                                       std::function<void()> TDiskChangeBar::*handler) {
    auto* button = new QPushButton(caption, this);
    button->setFocusPolicy(Qt::NoFocus);
    layout()->addWidget(button);
    connect(button, &QPushButton::clicked, this, [this, handler] {
        if (this->*handler) Guarded(this->*handler);
    });
    return button;
}

void TDiskChangeBar::Tell(const QString& message, bool reload, bool keep, bool saveAs) {
    m_Message->setText(message);
    m_Reload->setVisible(reload);
    m_Keep->setVisible(keep);
    m_SaveAs->setVisible(saveAs);
}

QString TDiskChangeBar::Message() const {
    return m_Message->text();
}
