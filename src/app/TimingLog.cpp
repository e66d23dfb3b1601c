#include "app/TimingLog.h"

#include <chrono>
#include <fstream>

#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>

#include "editor/LinesViewer.h"

TTimingLog::TTimingLog(const QString& fileName, QObject* parent) : QObject(parent), m_FileName(fileName) {}

void TTimingLog::Write(const QString& what) {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const double ms = std::chrono::duration<double, std::milli>(now).count();
    std::ofstream(m_FileName.toStdString(), std::ios::app)
        << QString::asprintf("%.3f ", ms).toStdString() << what.toStdString() << '\n';
}

bool TTimingLog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        // A key the focus widget passes on reaches its parents too: it is written once.
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->timestamp() != m_LastKeyTime || key->key() != m_LastKey) {
            m_LastKeyTime = key->timestamp();
            m_LastKey = key->key();
            Write("key " + QKeySequence(key->key()).toString());
        }
    } else if (event->type() == QEvent::Paint) {
        if (auto* label = qobject_cast<QLabel*>(watched); label && label->objectName() == "PositionPanel") {
            if (label->text() != m_Status) Write("status " + (m_Status = label->text()));
        } else if (auto* editor = qobject_cast<TLinesViewer*>(watched->parent());
                   editor && watched == editor->viewport()) {
            Write("paint");
        }
    }
    return false;
}
