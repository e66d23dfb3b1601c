#pragma once

#include <vector>

#include <QObject>
#include <QTimer>

class TTextViewer;

// The application's idle time: while any registered viewer has background work (its layout scan) or a
// caret move to report, a zero-interval timer runs their idle steps, as many as fit in a few
// milliseconds per tick, so a long scan is not bound by the event loop while input stays responsive.
// Input, text changes and caret moves restart it; it waits while a viewer is busy.
class TIdleDriver : public QObject {
    Q_OBJECT
public:
    static TIdleDriver& Instance();

    void Register(TTextViewer* viewer);
    void Unregister(TTextViewer* viewer);
    // There may be work again.
    void Kick();
    bool Running() const { return m_Timer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TIdleDriver();
    void Tick();

    QTimer m_Timer;
    std::vector<TTextViewer*> m_Viewers;
    bool m_Filtering = false;
};
