#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;

// An edit line over a list that is always shown, its lines sorted as text. Choosing a line puts its
// text into the edit line; Changed follows every edit and every change of the chosen line.
class TSimpleCombo : public QWidget {
    Q_OBJECT
public:
    // `caption` labels the edit line, with its mnemonic.
    TSimpleCombo(const QString& caption, QWidget* parent);

    QLineEdit* Edit() const { return m_Edit; }
    QListWidget* List() const { return m_List; }
    QString Text() const;
    void SetText(const QString& text);
    // The chosen line's text; empty when none is chosen.
    QString Selected() const;
    bool HasSelection() const;
    void SetItems(const QStringList& items);
    // Adds a line and chooses it.
    void AddItem(const QString& text);
    void RemoveSelected();
    void ClearSelection();
    QStringList Items() const;

signals:
    void Changed();

private:
    QLineEdit* m_Edit;
    QListWidget* m_List;
};
