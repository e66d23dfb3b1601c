#include "editor/IdleDriver.h"

#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

#include "editor/TextViewer.h"

namespace {
constexpr qint64 kBudgetNs = 5'000'000; // idle work per tick
} // namespace

TIdleDriver& TIdleDriver::Instance() {
    static TIdleDriver driver;
    return driver;
}

TIdleDriver::TIdleDriver() {
    m_Timer.setInterval(0);
    connect(&m_Timer, &QTimer::timeout, this, &TIdleDriver::Tick);
}

void TIdleDriver::Register(TTextViewer* viewer) {
    if (std::find(m_Viewers.begin(), m_Viewers.end(), viewer) == m_Viewers.end()) m_Viewers.push_back(viewer);
    if (!m_Filtering && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_Filtering = true;
    }
    Kick();
}

void TIdleDriver::Unregister(TTextViewer* viewer) {
    std::erase(m_Viewers, viewer);
    if (m_Viewers.empty()) m_Timer.stop();
}

void TIdleDriver::Kick() {
    if (!m_Viewers.empty() && !m_Timer.isActive()) m_Timer.start();
}

bool TIdleDriver::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel: Kick(); break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void TIdleDriver::Tick() {
    for (TTextViewer* viewer : m_Viewers)
        if (viewer->State() & sfBusy) { // a long operation runs: no idle work inside it
            m_Timer.stop();
            return;
        }
    QElapsedTimer clock;
    clock.start();
    bool allDone = true;
    do {
        allDone = true;
        for (size_t i = 0; i < m_Viewers.size(); ++i) {
            bool done = true;
            m_Viewers[i]->IdleStep(done);
            allDone = allDone && done;
        }
    } while (!allDone && clock.nsecsElapsed() < kBudgetNs);
    if (allDone) m_Timer.stop();
}
