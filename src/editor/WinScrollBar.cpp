#include "editor/WinScrollBar.h"

#include <algorithm>

#include <QAbstractScrollArea>
#include <QScrollBar>

TWinScrollBar::TWinScrollBar(QAbstractScrollArea& owner, Qt::Orientation kind)
    : QObject(&owner), m_Owner(owner), m_Kind(kind),
      m_Bar(kind == Qt::Vertical ? owner.verticalScrollBar() : owner.horizontalScrollBar()) {
    connect(m_Bar, &QAbstractSlider::actionTriggered, this, &TWinScrollBar::OnAction);
    connect(m_Bar, &QAbstractSlider::sliderReleased, this, [this] {
        if (!m_Setting) Scroll(scThumbPosition, m_Bar->sliderPosition());
    });
    UpdatePosition();
}

void TWinScrollBar::UpdateRange() {
    if (m_UpdateLock > 0) return;
    TTextPos limit = 0;
    do {
        limit = m_Limit;
        TTextPos range = m_Limit - (m_PageSize - 1);
        m_Scale = 1;
        while (range > 32767) {
            range >>= 1;
            m_Scale *= 2;
        }
        m_WindowMaximum = m_Limit / m_Scale;
        Changed();
        // Like a window scroll bar the thumb stops a page before the maximum.
        m_Setting = true;
        m_Bar->setRange(0, static_cast<int>(std::max<TTextPos>(0, m_WindowMaximum - m_PageSize + 1)));
        m_Bar->setPageStep(static_cast<int>(std::clamp<TTextPos>(m_PageSize, 1, 1 << 30)));
        m_Setting = false;
    } while (limit != m_Limit);
}

void TWinScrollBar::UpdatePosition() {
    if (m_UpdateLock > 0) return;
    const TTextPos position = m_Position / m_Scale;
    Changed();
    if (m_Visible) {
        m_Setting = true;
        m_Bar->setValue(static_cast<int>(std::clamp<TTextPos>(position, 0, m_WindowMaximum)));
        m_Setting = false;
    }
    const Qt::ScrollBarPolicy policy = m_Visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff;
    if (m_Kind == Qt::Vertical) {
        if (m_Owner.verticalScrollBarPolicy() != policy) m_Owner.setVerticalScrollBarPolicy(policy);
    } else if (m_Owner.horizontalScrollBarPolicy() != policy) {
        m_Owner.setHorizontalScrollBarPolicy(policy);
    }
}

void TWinScrollBar::SetPosition(TTextPos position) {
    if (position == m_Position) return;
    m_Position = std::max<TTextPos>(0, std::min(position, m_Limit + 1 - m_PageSize));
    UpdatePosition();
}

void TWinScrollBar::SetLimit(TTextPos limit) {
    if (limit == m_Limit) return;
    m_Limit = limit;
    UpdateRange();
    m_Position = std::min(m_Position, m_Limit);
    AutomaticVisibility();
    if (m_PageSize - 1 >= m_Limit) { // everything fits
        m_Position = 0;
        UpdatePosition();
        if (OnScroll) OnScroll();
    }
}

void TWinScrollBar::SetPageSize(TTextPos pageSize) {
    if (pageSize == m_PageSize) return;
    m_PageSize = pageSize;
    UpdateRange();
    AutomaticVisibility();
}

void TWinScrollBar::SetMode(TScrollBarModes mode) {
    m_Mode = mode;
    AutomaticVisibility();
}

void TWinScrollBar::SetVisible(bool visible) {
    m_Visible = visible;
    UpdatePosition();
}

void TWinScrollBar::AutomaticVisibility() {
    if (m_Mode == TScrollBarModes::sbAutomatic) SetVisible(m_PageSize - 1 < m_Limit);
}

void TWinScrollBar::SetUpdatesEnabled(bool enabled) {
    if (!enabled) {
        ++m_UpdateLock;
        return;
    }
    if (m_UpdateLock > 0) --m_UpdateLock;
    UpdateRange();
    UpdatePosition();
}

void TWinScrollBar::Assign(const TWinScrollBar& source) {
    m_Tracking = source.m_Tracking;
    m_ClickSize = source.m_ClickSize;
    SetLimit(source.m_Limit);
    SetPageSize(source.m_PageSize);
    SetVisible(source.m_Visible);
}

void TWinScrollBar::Scroll(TScrollCode code, TTextPos thumb) {
    auto toThumb = [this](TTextPos t) {
        SetPosition(m_Scale > 1 && t + m_PageSize >= m_WindowMaximum ? m_Limit
                                                                     : std::min(m_Limit, t * m_Scale));
    };
    switch (code) {
    case scLineUp:
        SetPosition(m_Position - m_ClickSize);
        break;
    case scLineDown:
        SetPosition(m_Position + m_ClickSize);
        break;
    case scPageUp:
        SetPosition(m_Position - (m_PageSize - 1));
        break;
    case scPageDown:
        SetPosition(m_Position + (m_PageSize - 1));
        break;
    case scTop:
        SetPosition(0);
        break;
    case scBottom:
        SetPosition(m_Limit);
        break;
    case scThumbTrack:
        if (!m_Tracking) return;
        toThumb(thumb);
        break;
    case scThumbPosition:
        if (m_Tracking) return;
        toThumb(thumb);
        break;
    case scEndScroll:
        return;
    }
    if (OnScroll) OnScroll();
}

void TWinScrollBar::OnAction(int action) {
    if (m_Setting) return;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        Scroll(scLineDown);
        break;
    case QAbstractSlider::SliderSingleStepSub:
        Scroll(scLineUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        Scroll(scPageDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        Scroll(scPageUp);
        break;
    case QAbstractSlider::SliderToMinimum:
        Scroll(scTop);
        break;
    case QAbstractSlider::SliderToMaximum:
        Scroll(scBottom);
        break;
    case QAbstractSlider::SliderMove:
        Scroll(scThumbTrack, m_Bar->sliderPosition());
        break;
    default:
        return;
    }
    // The bar shows where the logical position ended up, not where its own action put it.
    if (action != QAbstractSlider::SliderMove)
        m_Bar->setSliderPosition(
            static_cast<int>(std::clamp<TTextPos>(m_Position / m_Scale, 0, m_WindowMaximum)));
}
