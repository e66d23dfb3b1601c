#pragma once

#include <QAbstractScrollArea>

class QPainter;

enum class TBorder_Style { bs_none, bs_thin, bs_thick };

// A control that paints its client area (the viewport between its scroll bars) in one go, with a
// border style. While PaintEnabled is off nothing is painted.
class TFlickerFreeControl : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TFlickerFreeControl(QWidget* parent = nullptr);

    TBorder_Style Border_Style() const { return m_Border_Style; }
    void SetBorder_Style(TBorder_Style style);
    bool PaintEnabled() const { return m_PaintEnabled; }
    void SetPaintEnabled(bool enabled) { m_PaintEnabled = enabled; }

    int ClientWidth() const { return viewport()->width(); }
    int ClientHeight() const { return viewport()->height(); }

protected:
    // Paints the part `rect` of the client area.
    virtual void Paint(QPainter& painter, const QRect& rect) = 0;
    void paintEvent(QPaintEvent* event) override;
    // Scrolling is the control's own business: the scroll bars only report to it.
    void scrollContentsBy(int, int) override {}

private:
    TBorder_Style m_Border_Style = TBorder_Style::bs_thin;
    bool m_PaintEnabled = true;
};
