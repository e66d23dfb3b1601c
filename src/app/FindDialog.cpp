#include "app/FindDialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/HelpTopics.h"

namespace {

QPushButton* AddButton(QVBoxLayout* column, const QString& caption, const std::function<void()>& run) {
    auto* button = new QPushButton(caption);
    column->addWidget(button);
    QObject::connect(button, &QPushButton::clicked, run);
    return button;
}

} // namespace

TFindDialog::TFindDialog(QWidget* parent, bool replacing) : QDialog(parent) {
    setWindowTitle(replacing ? "Replace" : "Find");
    auto* fields = new QGridLayout;
    m_FindEdit = new QLineEdit;
    auto* findLabel = new QLabel("Fi&nd what:");
    findLabel->setBuddy(m_FindEdit);
    fields->addWidget(findLabel, 0, 0);
    fields->addWidget(m_FindEdit, 0, 1);
    if (replacing) {
        m_ReplaceEdit = new QLineEdit;
        auto* replaceLabel = new QLabel("Re&place with:");
        replaceLabel->setBuddy(m_ReplaceEdit);
        fields->addWidget(replaceLabel, 1, 0);
        fields->addWidget(m_ReplaceEdit, 1, 1);
    }
    m_WholeWord = new QCheckBox("Match &whole word only");
    m_MatchCase = new QCheckBox("Match &case");
    auto* options = new QGridLayout;
    options->addWidget(m_WholeWord, 0, 0);
    options->addWidget(m_MatchCase, 1, 0);
    if (!replacing) {
        auto* direction = new QGroupBox("Direction");
        auto* directionRow = new QHBoxLayout(direction);
        auto* up = new QRadioButton("&Up");
        m_Down = new QRadioButton("&Down");
        m_Down->setChecked(true);
        directionRow->addWidget(up);
        directionRow->addWidget(m_Down);
        options->addWidget(direction, 0, 1, 2, 1);
    }
    auto* left = new QVBoxLayout;
    left->addLayout(fields);
    left->addLayout(options);
    left->addStretch();

    // The handlers are looked up at each press: the window sets them after construction.
    auto* buttons = new QVBoxLayout;
    m_Searching.push_back(AddButton(buttons, "&Find Next", [this] {
        if (OnFind) OnFind();
    }));
    m_Searching.front()->setDefault(true);
    if (replacing) {
        m_Searching.push_back(AddButton(buttons, "&Replace", [this] {
            if (OnReplace) OnReplace();
        }));
        m_Searching.push_back(AddButton(buttons, "Replace &All", [this] {
            if (OnReplaceAll) OnReplaceAll();
        }));
    }
    AddButton(buttons, "Cancel", [this] { close(); });
    const THelpTopic topic = replacing ? THelpTopic::htReplace : THelpTopic::htFind;
    AddButton(buttons, "&Help", [this, topic] { ShowHelp(this, topic); });
    AddHelpKey(this, topic);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);
    auto enableFind = [this] {
        for (QPushButton* button : m_Searching)
            button->setEnabled(!m_FindEdit->text().isEmpty());
    };
    connect(m_FindEdit, &QLineEdit::textChanged, this, enableFind);
    enableFind();
}

QString TFindDialog::FindText() const {
    return m_FindEdit->text();
}

void TFindDialog::SetFindText(const QString& text) {
    m_FindEdit->setText(text);
    m_FindEdit->selectAll();
}

QString TFindDialog::ReplaceText() const {
    return m_ReplaceEdit ? m_ReplaceEdit->text() : QString();
}

TFindOptions TFindDialog::Options() const {
    TFindOptions options = 0;
    if (!m_Down || m_Down->isChecked()) options |= frDown;
    if (m_MatchCase->isChecked()) options |= frMatchCase;
    if (m_WholeWord->isChecked()) options |= frWholeWord;
    return options;
}
