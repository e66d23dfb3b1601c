#pragma once

#include <QWidget>

// A percentage shown as its number, centred, with the done part of the meter inverted.
class TProgressMeter : public QWidget {
    Q_OBJECT
public:
    explicit TProgressMeter(QWidget* parent = nullptr) : QWidget(parent) {}

    int Position() const { return m_Position; }
    // Repaints at once: the operation it reports on keeps the event loop waiting.
    void SetPosition(int percent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_Position = 0;
};
