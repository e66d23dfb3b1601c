#include "app/FilePropertiesDialog.h"

#include <sys/stat.h>

#include <QCheckBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include "editor/FileEditor.h"
#include "text/Exceptions.h"

namespace {

constexpr int kAttributeBits[4] = {faReadOnly, faHidden, faSystem, faArchive};

} // namespace

QString ByteCount(long long bytes) {
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    return locale.toString(bytes) + " bytes";
}

TFilePropertiesDialog::TFilePropertiesDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("File Properties");
    m_FileName = new QLineEdit(this);
    m_FileName->setReadOnly(true);
    m_FileName->setMinimumWidth(320);
    m_SavedSize = new QLabel(this);
    m_Modified = new QLabel(this);
    m_SizeNow = new QLabel(this);
    auto* form = new QFormLayout;
    form->addRow(m_FileName);
    form->addRow("File Size when last saved:", m_SavedSize);
    form->addRow("Last Modified:", m_Modified);
    form->addRow("File size now:", m_SizeNow);
    auto* attributes = new QGroupBox("File Attributes", this);
    auto* grid = new QGridLayout(attributes);
    const char* captions[4] = {"Read Only", "Hidden", "System File", "Archive"};
    for (int i = 0; i < 4; ++i) {
        m_Attributes[i] = new QCheckBox(captions[i], attributes);
        grid->addWidget(m_Attributes[i], i / 2, i % 2);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(attributes);
    layout->addWidget(buttons);
}

bool TFilePropertiesDialog::Edit(TFileEditor& editor) {
    const std::filesystem::path& name = editor.FileName();
    if (name.empty()) {
        m_FileName->setText("<untitled>");
        m_SavedSize->setText("<not saved>");
        m_Modified->setText("<not saved>");
    } else {
        struct stat info {};
        if (::stat(name.c_str(), &info) != 0) throw Exception("Cannot access " + name.string());
        m_FileName->setText(QString::fromStdString(name.string()));
        m_SavedSize->setText(ByteCount(info.st_size));
        const QDateTime modified = QDateTime::fromSecsSinceEpoch(info.st_mtim.tv_sec);
        m_Modified->setText(QLocale().toString(modified, "ddd, dd MMMM yyyy hh:mm:ss"));
    }
    m_SizeNow->setText(ByteCount(editor.TextSize()));
    const int attributes = editor.Document().FileAttributes();
    for (int i = 0; i < 4; ++i)
        m_Attributes[i]->setChecked(attributes & kAttributeBits[i]);
    if (exec() != QDialog::Accepted) return false;
    int chosen = 0;
    for (int i = 0; i < 4; ++i)
        if (m_Attributes[i]->isChecked()) chosen |= kAttributeBits[i];
    editor.Document().SetFileAttributes(chosen);
    return true;
}
