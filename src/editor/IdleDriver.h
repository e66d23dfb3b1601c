#pragma once

#include <vector>

#include <QObject>
#include <QTimer>

// Background work run in the application's idle time, one small step at a time.
class TIdleWork {
public:
    virtual ~TIdleWork() = default;
    // One unit of work; `done` when there is none left.
    virtual void IdleStep(bool& done) = 0;
    // A long operation of the work's owner runs: no idle step may run inside it.
    virtual bool IdleBlocked() const = 0;
};

// The application's idle time: while any registered work has something to do, a zero-interval timer
// runs its idle steps, as many as fit in a few milliseconds per tick, so a long scan is not bound by the
// event loop while input stays responsive. Input, text changes and caret moves restart it; it waits
// while any work is blocked.
class TIdleDriver : public QObject {
    Q_OBJECT
public:
    static TIdleDriver& Instance();

    // Runs `work` in idle time for as long as the registration lives; its owner is the one who decides
    // that the work runs.
    class TRegistration {
    public:
        explicit TRegistration(TIdleWork& work) : m_Work(work) { Instance().Register(&work); }
        ~TRegistration() { Instance().Unregister(&m_Work); }
        TRegistration(const TRegistration&) = delete;
        TRegistration& operator=(const TRegistration&) = delete;

    private:
        TIdleWork& m_Work;
    };

    // There may be work again.
    void Kick();
    bool Running() const { return m_Timer.isActive(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TIdleDriver();
    void Register(TIdleWork* work);
    void Unregister(TIdleWork* work);
    void Tick();

    QTimer m_Timer;
    std::vector<TIdleWork*> m_Work;
    bool m_Filtering = false;
};
