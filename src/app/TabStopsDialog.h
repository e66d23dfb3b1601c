#pragma once

#include <vector>

#include <QDialog>

class QPushButton;
class TSimpleCombo;

// Edits a list of tab stops, shown and typed as lengths in the locale's unit. OK turns into Close after
// the first change; either confirms. A length still in the edit line is added on OK too.
class TTabStopsDialog : public QDialog {
    Q_OBJECT
public:
    explicit TTabStopsDialog(QWidget* parent);

    // Shows `stops` (in inches); on OK they become what the list holds, in ascending order.
    bool Edit(std::vector<float>& stops);
    TSimpleCombo* Stops() const { return m_Stops; }
    QPushButton* OkButton() const { return m_Ok; }

private:
    // The edit line's length added to the list unless listed; false when it is no length.
    bool AddTyped();
    void Changed();
    void Ok();

    TSimpleCombo* m_Stops;
    QPushButton* m_Ok;
};
