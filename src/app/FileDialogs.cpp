#include "app/FileDialogs.h"

#include <algorithm>

#include <QButtonGroup>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "app/HelpTopics.h"

namespace fs = std::filesystem;

void RememberDirectory(std::vector<fs::path>& quickList, const fs::path& dir) {
    quickList.erase(std::remove(quickList.begin(), quickList.end(), dir), quickList.end());
    if (quickList.size() >= QuickJumpSize) quickList.resize(QuickJumpSize - 1);
    quickList.insert(quickList.begin(), dir);
}

TFileDialog::TFileDialog(QWidget* parent, const QString& title, const fs::path& dir, const QString& filter,
                         std::vector<fs::path>& quickList)
    : QFileDialog(parent, title, QString::fromStdString(dir.string()), filter), m_QuickList(quickList) {
    setOption(QFileDialog::DontUseNativeDialog); // for the controls added below the file list
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel("&Quick Jump:", row);
    m_QuickJump = new QComboBox(row);
    label->setBuddy(m_QuickJump);
    layout->addWidget(label);
    layout->addWidget(m_QuickJump, 1);
    for (const fs::path& place : quickList)
        m_QuickJump->addItem(QString::fromStdString(place.string()));
    m_QuickJump->setCurrentIndex(0);
    connect(m_QuickJump, &QComboBox::activated, this, [this](int index) {
        if (index >= 0 && index < static_cast<int>(m_QuickList.size()))
            setDirectory(QString::fromStdString(m_QuickList[static_cast<size_t>(index)].string()));
    });
    AddRow(row);
}

void TFileDialog::AddRow(QWidget* row) {
    if (auto* grid = qobject_cast<QGridLayout*>(layout())) grid->addWidget(row, grid->rowCount(), 0, 1, -1);
}

std::vector<fs::path> TFileDialog::Files() const {
    std::vector<fs::path> files;
    for (const QString& file : selectedFiles())
        files.emplace_back(file.toStdString());
    return files;
}

bool TFileDialog::Run() {
    if (exec() != QDialog::Accepted || selectedFiles().isEmpty()) return false;
    RememberDirectory(m_QuickList, Files().front().parent_path());
    return true;
}

TMergeDialog::TMergeDialog(QWidget* parent, const fs::path& dir, const QString& filter,
                           std::vector<fs::path>& quickList, const QStringList& tools, int tool, int mode)
    : TFileDialog(parent, "Merge File", dir, filter, quickList) {
    setFileMode(QFileDialog::ExistingFiles);
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox("&Transform", row);
    auto* buttons = new QHBoxLayout(group);
    m_Transforms = new QButtonGroup(this);
    const std::pair<const char*, int> transforms[] = {{"N&one", mmNone},
                                                      {"&UUEncode", mmUUEncode},
                                                      {"OEM to &ANSI", mmOemToAnsi},
                                                      {"Mail &Quotes", mmMailQuotes},
                                                      {"&Compress", mmCompress}};
    for (const auto& [caption, id] : transforms) {
        auto* button = new QRadioButton(caption, group);
        buttons->addWidget(button);
        m_Transforms->addButton(button, id);
    }
    auto* label = new QLabel("Compression &Utility", row);
    m_Tools = new QComboBox(row);
    m_Tools->setMinimumContentsLength(10);
    label->setBuddy(m_Tools);
    m_Tools->addItems(tools);
    m_Tools->setCurrentIndex(tool);
    if (QAbstractButton* checked = m_Transforms->button(mode)) checked->setChecked(true);
    m_Tools->setEnabled(mode == mmCompress);
    connect(m_Transforms, &QButtonGroup::idClicked, this,
            [this](int id) { m_Tools->setEnabled(id == mmCompress); });
    layout->addWidget(group, 1);
    layout->addWidget(label);
    layout->addWidget(m_Tools);
    AddRow(row);
    if (auto* box = findChild<QDialogButtonBox*>())
        connect(box->addButton("&Help", QDialogButtonBox::HelpRole), &QPushButton::clicked, this,
                [this] { ShowHelp(this, THelpTopic::htMerge); });
}

int TMergeDialog::Mode() const {
    return m_Transforms->checkedId();
}

int TMergeDialog::Tool() const {
    return m_Tools->currentIndex();
}
