#include "app/ProgressMeter.h"

#include <algorithm>

#include <QPainter>

void TProgressMeter::SetPosition(int percent) {
    percent = std::clamp(percent, 0, 100);
    if (percent == m_Position) return;
    m_Position = percent;
    repaint();
}

void TProgressMeter::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().button());
    painter.setPen(palette().buttonText().color());
    painter.drawText(rect(), Qt::AlignCenter, QString::number(m_Position) + "%");
    if (m_Position > 0) {
        painter.setCompositionMode(QPainter::RasterOp_NotDestination);
        painter.fillRect(QRect(0, 0, width() * m_Position / 100, height()), Qt::black);
    }
}
