#pragma once

#include <QDialog>

#include "mail/CompressUtility.h"

class QListWidget;
class QPushButton;
class TDefineToolDialog;

// Edits a working copy of the compression utilities: adding, changing and deleting them. The copy is
// taken when the dialog is shown and becomes the list the caller keeps only on OK.
class TToolsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TToolsDialog(QWidget* parent);

    // Shows the dialog over a copy of `tools`, which takes the copy on OK; true then.
    bool Edit(TCompressUtilityList& tools);
    QListWidget* Compressors() const { return m_Compressors; }
    QPushButton* EditButton() const { return m_Edit; }
    QPushButton* DeleteButton() const { return m_Delete; }

private:
    void Fill(int current);
    void UpdateButtons();
    void Add();
    void EditSelected();
    void DeleteSelected();

    TCompressUtilityList m_Working;
    QListWidget* m_Compressors;
    QPushButton* m_Edit;
    QPushButton* m_Delete;
    TDefineToolDialog* m_Define = nullptr;
};
