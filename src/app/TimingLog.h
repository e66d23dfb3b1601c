#pragma once

#include <QObject>
#include <QString>

// Writes a line for each key pressed, each repaint of an editor's text and each new text of the
// position panel, with the time in milliseconds on the monotonic clock: "12.345 key Return",
// "12.401 paint", "12.402 status Ln 9 Ch 0 Pg 1/1". The end-to-end scenarios time and read the window
// by it.
class TTimingLog : public QObject {
public:
    explicit TTimingLog(const QString& fileName, QObject* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Write(const QString& what);

    QString m_FileName;
    QString m_Status;
    unsigned long m_LastKeyTime = 0;
    int m_LastKey = 0;
};
