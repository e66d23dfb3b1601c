#pragma once

#include <QDialog>

class QLineEdit;

// Defines one compression utility: its name, command line and archive extension. OK is refused while
// the extension could not end a file name.
class TDefineToolDialog : public QDialog {
    Q_OBJECT
public:
    explicit TDefineToolDialog(QWidget* parent);

    QLineEdit* Name() const { return m_Name; }
    QLineEdit* CommandLine() const { return m_CommandLine; }
    QLineEdit* Extension() const { return m_Extension; }
    void accept() override;

private:
    QLineEdit* m_Name;
    QLineEdit* m_CommandLine;
    QLineEdit* m_Extension;
};
