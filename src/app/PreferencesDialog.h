#pragma once

#include <QDialog>

#include "app/Preferences.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QTabWidget;

// The Preferences dialog: five pages of options. The number fields must hold whole numbers of 0 or
// more: OK with anything else says so and keeps the dialog open.
class TPreferencesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TPreferencesDialog(QWidget* parent);

    // Shows `preferences`; on OK they take what the dialog holds, and the answer is true.
    bool Edit(TPreferences& preferences);
    void Show(const TPreferences& preferences);
    void Read(TPreferences& preferences) const;
    QTabWidget* Pages() const { return m_Pages; }

    void accept() override;

private:
    QWidget* OpenPage();
    QWidget* SavePage();
    QWidget* EditorPage();
    QWidget* ViewPage();
    QWidget* StartupPage();
    // Radio buttons in a box, numbered from 0 in their order.
    QGroupBox* RadioBox(const QString& title, const QStringList& captions, QButtonGroup*& group);
    QLineEdit* NumberField();
    // The line length counts only for wrapping after n characters.
    void EnableLineLength();

    QTabWidget* m_Pages;
    QLineEdit *m_FileTypes, *m_MaxFiles, *m_MaxUndo, *m_MailQuote, *m_MaxLineLength;
    QLabel *m_LineLengthLabel, *m_CharactersLabel;
    QCheckBox *m_FileLocking, *m_Backup, *m_UseSaveDir, *m_SelectPasted, *m_ExtendedDoubleClick,
        *m_TripleClick, *m_BeyondLineEnd, *m_ShowBreaks, *m_HorzTracking, *m_VertTracking, *m_AutoScroll,
        *m_NewLook;
    QButtonGroup *m_SaveMode, *m_WrapMode, *m_PageBreaks, *m_LineNumbers, *m_Paging, *m_StartUp;
};
