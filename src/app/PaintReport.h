#pragma once

#include <QObject>

class TFileEditor;

// Prints the program's resident memory (KiB) and the size of the text an editor shows, once that text
// has been painted, on one line of standard output; then ends the program when `exitThen`. The
// start-up and hand-off benchmarks time these lines.
class TPaintReport : public QObject {
public:
    TPaintReport(TFileEditor& editor, bool exitThen);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TFileEditor& m_Editor;
    bool m_ExitThen;
    bool m_Reported = false;
};
