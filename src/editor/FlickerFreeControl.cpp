#include "editor/FlickerFreeControl.h"

#include <QPaintEvent>
#include <QPainter>

TFlickerFreeControl::TFlickerFreeControl(QWidget* parent) : QAbstractScrollArea(parent) {
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    SetBorder_Style(TBorder_Style::bs_thin);
}

void TFlickerFreeControl::SetBorder_Style(TBorder_Style style) {
    m_Border_Style = style;
    switch (style) {
    case TBorder_Style::bs_none:
        setFrameStyle(QFrame::NoFrame);
        break;
    case TBorder_Style::bs_thin:
        setFrameStyle(QFrame::Box | QFrame::Plain);
        break;
    case TBorder_Style::bs_thick:
        setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        break;
    }
}

void TFlickerFreeControl::paintEvent(QPaintEvent* event) {
    if (!m_PaintEnabled) return;
    QPainter painter(viewport());
    Paint(painter, event->rect());
}
