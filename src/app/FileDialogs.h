#pragma once

#include <filesystem>
#include <vector>

#include <QFileDialog>

class QButtonGroup;
class QComboBox;

// Remembers the directory of a confirmed file at the top of a Quick Jump list: where it was before goes,
// and the list keeps the QuickJumpSize most recent directories.
constexpr size_t QuickJumpSize = 10;
void RememberDirectory(std::vector<std::filesystem::path>& quickList, const std::filesystem::path& dir);

// The program's file dialog (Open, Save and Merge): Qt's own dialog, so that controls can be added, with
// the "Quick Jump" list of recent directories under the file list. Choosing a directory there moves the
// dialog to it; confirming files puts their directory at the top of the list.
class TFileDialog : public QFileDialog {
    Q_OBJECT
public:
    TFileDialog(QWidget* parent, const QString& title, const std::filesystem::path& dir,
                const QString& filter, std::vector<std::filesystem::path>& quickList);

    QComboBox* QuickJump() const { return m_QuickJump; }
    // The chosen files, once the dialog was confirmed.
    std::vector<std::filesystem::path> Files() const;
    // Shows the dialog; true when files were chosen.
    bool Run();
    // Adds a row of controls under the file list.
    void AddRow(QWidget* row);

private:
    std::vector<std::filesystem::path>& m_QuickList;
    QComboBox* m_QuickJump;
};

// The ways Merge brings a file in, by the numbers the program stores them under.
enum TMergeMode : int {
    mmNone = 103,
    mmUUEncode = 104,
    mmOemToAnsi = 105,
    mmMailQuotes = 106,
    mmCompress = 107
};

// The Merge dialog: several existing files, how to bring them in, and the compression tool for
// "Compress", which can be chosen only with it.
class TMergeDialog : public TFileDialog {
    Q_OBJECT
public:
    TMergeDialog(QWidget* parent, const std::filesystem::path& dir, const QString& filter,
                 std::vector<std::filesystem::path>& quickList, const QStringList& tools, int tool, int mode);

    int Mode() const;
    int Tool() const;
    QButtonGroup* Transforms() const { return m_Transforms; }
    QComboBox* Tools() const { return m_Tools; }

private:
    QButtonGroup* m_Transforms;
    QComboBox* m_Tools;
};
