#pragma once

#include <QDialog>

#include "text/TextPos.h"

class QLabel;

// The print job's progress beside the window: "Page %d of %d" and a Cancel button (Esc too) that asks
// the job to stop at the next page. It works while the editor is busy printing, which refuses input
// everywhere else; hiding it forgets a Cancel.
class TPrintStatus : public QDialog {
    Q_OBJECT
public:
    explicit TPrintStatus(QWidget* parent = nullptr);

    void SetStatus(TTextPos page, TTextPos total);
    QString StatusText() const;
    bool Cancelled() const { return m_Cancelled; }

public slots:
    // Cancel and Esc leave the window up until the job has stopped.
    void reject() override { m_Cancelled = true; }

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QLabel* m_Status;
    bool m_Cancelled = false;
};
