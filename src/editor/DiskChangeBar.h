#pragma once

#include <functional>

#include <QFrame>

class QLabel;
class QPushButton;

// A bar above an editor's text that says what happened to its file on disk and offers what can be done
// about it: Reload, Keep Mine, Save As. Its buttons never take the focus from the text.
class TDiskChangeBar : public QFrame {
    Q_OBJECT
public:
    explicit TDiskChangeBar(QWidget* parent);

    // Puts `message` on the bar with the buttons asked for; its owner shows it.
    void Tell(const QString& message, bool reload, bool keep, bool saveAs);
    QString Message() const;

    std::function<void()> OnReload, OnKeep, OnSaveAs;

private:
    QPushButton* AddButton(const QString& caption, std::function<void()> TDiskChangeBar::*handler);

    QLabel* m_Message;
    QPushButton *m_Reload, *m_Keep, *m_SaveAs;
};
