#include "app/PaintReport.h"

#include <cstdio>
#include <fstream>
#include <unistd.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include "editor/FileEditor.h"

TPaintReport::TPaintReport(TFileEditor& editor, bool exitThen)
    : QObject(&editor), m_Editor(editor), m_ExitThen(exitThen) {
    editor.viewport()->installEventFilter(this);
    editor.viewport()->update();
}

bool TPaintReport::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::Paint || m_Reported) return false;
    m_Reported = true;
    QTimer::singleShot(0, this, [this] { // after the frame is finished
        long pages = 0, resident = 0;
        std::ifstream("/proc/self/statm") >> pages >> resident;
        std::printf("%ld %lld\n", resident * (::sysconf(_SC_PAGESIZE) / 1024),
                    static_cast<long long>(m_Editor.TextSize()));
        std::fflush(stdout);
        if (m_ExitThen) QCoreApplication::exit(0);
        deleteLater();
    });
    return false;
}
