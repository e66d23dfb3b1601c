#include "app/PreferencesDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/HelpTopics.h"
#include "app/IntegerText.h"
#include "text/MessageBox.h"

TPreferencesDialog::TPreferencesDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("Setup Preferences");
    m_Pages = new QTabWidget(this);
    m_Pages->addTab(OpenPage(), "&Open");
    m_Pages->addTab(SavePage(), "&Save");
    m_Pages->addTab(EditorPage(), "&Editor");
    m_Pages->addTab(ViewPage(), "&View");
    m_Pages->addTab(StartupPage(), "Startup");
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton* help = buttons->addButton("&Help", QDialogButtonBox::HelpRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &TPreferencesDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { ShowHelp(this, THelpTopic::htPreferences); });
    AddHelpKey(this, THelpTopic::htPreferences);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Pages);
    layout->addWidget(buttons);
    connect(m_WrapMode, &QButtonGroup::idClicked, this, &TPreferencesDialog::EnableLineLength);
}

QGroupBox* TPreferencesDialog::RadioBox(const QString& title, const QStringList& captions,
                                        QButtonGroup*& group) {
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    for (int i = 0; i < captions.size(); ++i) {
        auto* radio = new QRadioButton(captions[i], box);
        group->addButton(radio, i);
        column->addWidget(radio);
    }
    return box;
}

namespace {

QLabel* Label(const QString& caption, QWidget* field) {
    auto* label = new QLabel(caption);
    label->setBuddy(field);
    return label;
}

} // namespace

QLineEdit* TPreferencesDialog::NumberField() {
    auto* field = new QLineEdit;
    field->setMaximumWidth(80);
    return field;
}

QWidget* TPreferencesDialog::OpenPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_FileTypes = new QLineEdit;
    m_MaxFiles = NumberField();
    m_FileLocking = new QCheckBox("File Loc&king");
    form->addRow(Label("&Common Text File Types", m_FileTypes), m_FileTypes);
    form->addRow(Label("Length of Recently Opened Files List", m_MaxFiles), m_MaxFiles);
    form->addRow(m_FileLocking);
    return page;
}

QWidget* TPreferencesDialog::SavePage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    m_Backup = new QCheckBox("Create Back&up Files");
    m_UseSaveDir = new QCheckBox("&Different Open && Save Directories");
    column->addWidget(m_Backup);
    column->addWidget(m_UseSaveDir);
    column->addWidget(RadioBox("On Saving a File",
                               {"&Save as paragraphs", "Save with Line &Breaks", "&Prompt for Save Format"},
                               m_SaveMode));
    column->addStretch();
    return page;
}

QWidget* TPreferencesDialog::EditorPage() {
    auto* page = new QWidget;
    auto* form = new QFormLayout(page);
    m_MaxUndo = NumberField();
    m_MailQuote = new QLineEdit;
    m_MailQuote->setMaximumWidth(120);
    form->addRow(Label("Ma&x Undo Levels", m_MaxUndo), m_MaxUndo);
    form->addRow(Label("&Mail Quote Prefix", m_MailQuote), m_MailQuote);
    m_SelectPasted = new QCheckBox("&Select Pasted Text");
    m_ExtendedDoubleClick = new QCheckBox("&Extended Double Click ");
    m_TripleClick = new QCheckBox("&Triple Click Selects Paragraph");
    m_BeyondLineEnd = new QCheckBox("&Allow Cursor beyond End of Line");
    for (QCheckBox* box : {m_SelectPasted, m_ExtendedDoubleClick, m_TripleClick, m_BeyondLineEnd})
        form->addRow(box);
    return page;
}

QWidget* TPreferencesDialog::ViewPage() {
    auto* page = new QWidget;
    auto* grid = new QGridLayout(page);
    auto* left = new QVBoxLayout;
    left->addWidget(RadioBox("Wrap Mode",
                             {"&Wrap on Line Breaks", "Wrap on Window Bo&undaries", "Wrap on n &character",
                              "Wrap To Printer Pa&ge Width"},
                             m_WrapMode));
    auto* lineLength = new QHBoxLayout;
    m_LineLengthLabel = new QLabel("Ma&x Line Length:");
    m_MaxLineLength = NumberField();
    m_LineLengthLabel->setBuddy(m_MaxLineLength);
    m_CharactersLabel = new QLabel("Characters");
    lineLength->addWidget(m_LineLengthLabel);
    lineLength->addWidget(m_MaxLineLength);
    lineLength->addWidget(m_CharactersLabel);
    lineLength->addStretch();
    left->addLayout(lineLength);
    m_ShowBreaks = new QCheckBox("Show Hard Line &Breaks");
    m_HorzTracking = new QCheckBox("&Horz. Thumb Tracking");
    m_VertTracking = new QCheckBox("&Vert. Thumb Tracking");
    m_AutoScroll = new QCheckBox("Enable Autos&croll");
    m_NewLook = new QCheckBox("New Loo&k Toolbar");
    m_NewLook->setToolTip("Uncheck to have riased toolbar buttons");
    for (QCheckBox* box : {m_ShowBreaks, m_HorzTracking, m_VertTracking, m_AutoScroll, m_NewLook})
        left->addWidget(box);
    left->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(RadioBox("Show Soft Page Breaks",
                              {"&Never", "&Always", "&Only in Wrap to Printer Page Width Mode"},
                              m_PageBreaks));
    right->addWidget(
        RadioBox("Line Numbers", {"Relative to Top of &File", "Relative to Top of &Page"}, m_LineNumbers));
    right->addWidget(RadioBox("Paging Mode", {"Follow &Line", "&Text Cursor Constant"}, m_Paging));
    right->addStretch();
    grid->addLayout(left, 0, 0);
    grid->addLayout(right, 0, 1);
    return page;
}

QWidget* TPreferencesDialog::StartupPage() {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addWidget(RadioBox("Startup Options",
                               {"Non&e", "Sho&w File Open Dialog", "Open &Last opened file"}, m_StartUp));
    column->addStretch();
    return page;
}

void TPreferencesDialog::EnableLineLength() {
    const bool on = m_WrapMode->checkedId() == static_cast<int>(TWrapModes::opAbsoluteWrap);
    for (QWidget* part :
         std::initializer_list<QWidget*>{m_LineLengthLabel, m_MaxLineLength, m_CharactersLabel})
        part->setEnabled(on);
}

void TPreferencesDialog::Show(const TPreferences& p) {
    const TEditorSettings& e = p.Editor;
    m_FileTypes->setText(QString::fromStdString(p.CommonTextFileTypes));
    m_FileTypes->setCursorPosition(0); // the first types show, not the last
    m_MaxFiles->setText(QString::number(p.MaxFilesOnList));
    m_FileLocking->setChecked(e.FileLocking);
    m_Backup->setChecked(e.BackupFiles);
    m_UseSaveDir->setChecked(p.UseSaveDir);
    m_SaveMode->button(static_cast<int>(e.SaveMode))->setChecked(true);
    m_MaxUndo->setText(QString::number(e.MaxUndoLevels));
    m_MailQuote->setText(p.MailQuote);
    m_SelectPasted->setChecked(e.SelectAfterPaste);
    m_ExtendedDoubleClick->setChecked(e.DoubleClickMode == TDoubleClickModes::dcWordAndSpaces);
    m_TripleClick->setChecked(e.TripleClick);
    m_BeyondLineEnd->setChecked(!e.WPMode);
    m_WrapMode->button(static_cast<int>(e.WrapMode))->setChecked(true);
    m_MaxLineLength->setText(QString::number(e.MaxLineLength));
    m_ShowBreaks->setChecked(e.ShowLineBreaks);
    m_HorzTracking->setChecked(e.HorzTracking);
    m_VertTracking->setChecked(e.VertTracking);
    m_AutoScroll->setChecked(e.AutoScroll);
    m_PageBreaks->button(static_cast<int>(e.ShowPageBreaks))->setChecked(true);
    m_LineNumbers->button(static_cast<int>(e.LineNumberMode))->setChecked(true);
    m_Paging->button(static_cast<int>(e.PagingMode))->setChecked(true);
    m_NewLook->setChecked(p.NewLook);
    if (QAbstractButton* startUp = m_StartUp->button(p.StartUp)) startUp->setChecked(true);
    EnableLineLength();
}

void TPreferencesDialog::Read(TPreferences& p) const {
    TEditorSettings& e = p.Editor;
    p.CommonTextFileTypes = m_FileTypes->text().toStdString();
    p.MaxFilesOnList = *ParseInteger(m_MaxFiles->text().toStdString());
    e.FileLocking = m_FileLocking->isChecked();
    e.BackupFiles = m_Backup->isChecked();
    p.UseSaveDir = m_UseSaveDir->isChecked();
    e.SaveMode = static_cast<TSaveMode>(m_SaveMode->checkedId());
    e.MaxUndoLevels = *ParseInteger(m_MaxUndo->text().toStdString());
    p.MailQuote = m_MailQuote->text();
    e.SelectAfterPaste = m_SelectPasted->isChecked();
    e.DoubleClickMode = m_ExtendedDoubleClick->isChecked() ? TDoubleClickModes::dcWordAndSpaces
                                                           : TDoubleClickModes::dcWordOnly;
    e.TripleClick = m_TripleClick->isChecked();
    e.WPMode = !m_BeyondLineEnd->isChecked();
    e.WrapMode = static_cast<TWrapModes>(m_WrapMode->checkedId());
    e.MaxLineLength = *ParseInteger(m_MaxLineLength->text().toStdString());
    e.ShowLineBreaks = m_ShowBreaks->isChecked();
    e.HorzTracking = m_HorzTracking->isChecked();
    e.VertTracking = m_VertTracking->isChecked();
    e.AutoScroll = m_AutoScroll->isChecked();
    e.ShowPageBreaks = static_cast<TPageBreakDisplayModes>(m_PageBreaks->checkedId());
    e.LineNumberMode = static_cast<TLineNumberModes>(m_LineNumbers->checkedId());
    e.PagingMode = static_cast<TPagingModes>(m_Paging->checkedId());
    p.NewLook = m_NewLook->isChecked();
    p.StartUp = m_StartUp->checkedId() >= 0 ? m_StartUp->checkedId() : p.StartUp;
}

void TPreferencesDialog::accept() {
    for (QLineEdit* field : {m_MaxUndo, m_MaxFiles, m_MaxLineLength}) {
        const auto number = ParseInteger(field->text().toStdString());
        if (number && *number >= 0) continue;
        m_Pages->setCurrentWidget(field->parentWidget());
        field->setFocus();
        field->selectAll();
        MessageDlg(number ? "The number may not be negative"
                          : "'" + field->text().toStdString() + "' is not a valid integer value",
                   TMsgDlgType::mtError, TMsgButtons::mbOK);
        return;
    }
    QDialog::accept();
}

bool TPreferencesDialog::Edit(TPreferences& preferences) {
    Show(preferences);
    m_Pages->setCurrentIndex(0);
    if (exec() != QDialog::Accepted) return false;
    Read(preferences);
    return true;
}
