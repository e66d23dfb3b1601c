#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;
class TFileEditor;

// Shows what is known of the current document's file and edits the attributes it is to have when it
// is next saved.
class TFilePropertiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFilePropertiesDialog(QWidget* parent);

    // Shows the document's file data; on OK the editor's document takes the attributes ticked. A file
    // that cannot be found raises "Cannot access %s" and nothing is shown.
    bool Edit(TFileEditor& editor);

    QLineEdit* FileName() const { return m_FileName; }
    QLabel* SavedSize() const { return m_SavedSize; }
    QLabel* Modified() const { return m_Modified; }
    QLabel* SizeNow() const { return m_SizeNow; }
    // The check boxes of read only, hidden, system and archive.
    QCheckBox* Attribute(int index) const { return m_Attributes[index]; }

private:
    QLineEdit* m_FileName;
    QLabel *m_SavedSize, *m_Modified, *m_SizeNow;
    QCheckBox* m_Attributes[4];
};

// A size as "1,234,567 bytes": grouped digits in the locale's way, grouped even in the C locale.
QString ByteCount(long long bytes);
