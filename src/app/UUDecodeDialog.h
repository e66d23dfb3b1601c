#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Tells of a uuencoded file found in the text and asks whether to save it (Accepted) or leave it out.
class TUUDecodeDialog : public QDialog {
    Q_OBJECT
public:
    explicit TUUDecodeDialog(QWidget* parent);

    // Shows the question for a file of this name; true for Save.
    bool Ask(const QString& fileName);
    QLabel* Message() const { return m_Message; }

private:
    QLabel* m_Message;
};
