#pragma once

#include <functional>

#include <QObject>

#include "text/TextPos.h"

class QAbstractScrollArea;
class QScrollBar;

enum class TScrollBarModes { sbAutomatic, sbManual };

// Drives one scroll bar of a control over a logical range of any size. Positions run from 0 to
// Limit + 1 - PageSize; the bar itself gets them divided by Scale, a power of two chosen so that its
// range stays within 16 signed bits, as it always has.
class TWinScrollBar : public QObject {
    Q_OBJECT
public:
    TWinScrollBar(QAbstractScrollArea& owner, Qt::Orientation kind);

    TTextPos Position() const { return m_Position; }
    void SetPosition(TTextPos position);
    TTextPos Limit() const { return m_Limit; }
    void SetLimit(TTextPos limit);
    TTextPos PageSize() const { return m_PageSize; }
    void SetPageSize(TTextPos pageSize);
    TTextPos ClickSize() const { return m_ClickSize; }
    void SetClickSize(TTextPos clickSize) { m_ClickSize = clickSize; }
    TScrollBarModes Mode() const { return m_Mode; }
    void SetMode(TScrollBarModes mode);
    bool Tracking() const { return m_Tracking; }
    void SetTracking(bool tracking) { m_Tracking = tracking; }
    bool Visible() const { return m_Visible; }
    void SetVisible(bool visible);
    TTextPos Scale() const { return m_Scale; }
    TTextPos WindowMaximum() const { return m_WindowMaximum; }
    void SetUpdatesEnabled(bool enabled);
    // Copies Visible, Limit, PageSize, ClickSize and Tracking.
    void Assign(const TWinScrollBar& source);

    std::function<void()> OnChange;
    std::function<void()> OnScroll;

    // The scroll codes of the bar.
    enum TScrollCode {
        scLineUp,
        scLineDown,
        scPageUp,
        scPageDown,
        scTop,
        scBottom,
        scThumbTrack,
        scThumbPosition,
        scEndScroll
    };
    // Handles one code; `thumb` is the bar's own thumb position for the two thumb codes.
    void Scroll(TScrollCode code, TTextPos thumb = 0);

private:
    void UpdateRange();
    void UpdatePosition();
    void AutomaticVisibility();
    void Changed() {
        if (OnChange) OnChange();
    }
    void OnAction(int action);

    QAbstractScrollArea& m_Owner;
    Qt::Orientation m_Kind;
    QScrollBar* m_Bar;
    TTextPos m_Position = 0;
    TTextPos m_Limit = 0;
    TTextPos m_WindowMaximum = 0;
    TScrollBarModes m_Mode = TScrollBarModes::sbAutomatic;
    TTextPos m_PageSize = 1;
    TTextPos m_ClickSize = 1;
    TTextPos m_Scale = 1;
    bool m_Tracking = true;
    bool m_Visible = false;
    int m_UpdateLock = 0;
    bool m_Setting = false; // the bar is being set from here: its own signals are ours
};
