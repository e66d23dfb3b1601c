#include "editor/IdleDriver.h"

#include <algorithm>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>

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

void TIdleDriver::Register(TIdleWork* work) {
    if (std::find(m_Work.begin(), m_Work.end(), work) == m_Work.end()) m_Work.push_back(work);
    if (!m_Filtering && QCoreApplication::instance()) {
        QCoreApplication::instance()->installEventFilter(this);
        m_Filtering = true;
    }
    Kick();
}

void TIdleDriver::Unregister(TIdleWork* work) {
    std::erase(m_Work, work);
    if (m_Work.empty()) m_Timer.stop();
}

void TIdleDriver::Kick() {
    if (!m_Work.empty() && !m_Timer.isActive()) m_Timer.start();
}

bool TIdleDriver::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::Wheel:
        Kick();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void TIdleDriver::Tick() {
    for (TIdleWork* work : m_Work)
        if (work->IdleBlocked()) { // a long operation runs: no idle work inside it
            m_Timer.stop();
            return;
        }
    QElapsedTimer clock;
    clock.start();
    bool allDone = true;
    do {
        allDone = true;
        for (size_t i = 0; i < m_Work.size(); ++i) {
            bool done = true;
            m_Work[i]->IdleStep(done);
            allDone = allDone && done;
        }
    } while (!allDone && clock.nsecsElapsed() < kBudgetNs);
    if (allDone) m_Timer.stop();
}
