#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QTest>

#include "ScriptedMessages.h"
#include "editor/BigEditor.h"

// What the random editing sessions share: keys pressed, the mouse dragged, the messages the program
// gave and the bytes a session ends with.

struct TKeyStroke {
    Qt::Key Key;
    Qt::KeyboardModifiers Modifiers;
};

inline QString Press(QWidget& view, const TKeyStroke& stroke) {
    QTest::keyClick(&view, stroke.Key, stroke.Modifiers);
    return QString("key %1 %2").arg(stroke.Key, 0, 16).arg(stroke.Modifiers.toInt(), 0, 16);
}

// Presses at `from`, moves to `to` and lets go there with `release` held.
inline QString Drag(QWidget* port, QPoint from, QPoint to, Qt::KeyboardModifiers press,
                    Qt::KeyboardModifiers release) {
    QTest::mouseMove(port, from);
    QTest::mousePress(port, Qt::LeftButton, press, from);
    QTest::mouseMove(port, to);
    QTest::mouseRelease(port, Qt::LeftButton, release, to);
    QTest::qWait(1); // lets a pending single-click timer run out
    return QString("mouse (%1,%2)-(%3,%4)").arg(from.x()).arg(from.y()).arg(to.x()).arg(to.y());
}

// A message the program gave that no random step should bring, or an empty text.
inline QString UnexpectedMessage(TScriptedMessages& messages) {
    for (const std::string& asked : std::exchange(messages.Asked, {}))
        if (asked != "Nothing to Undo!" && asked != "Clipboard is empty") return QString::fromStdString(asked);
    return {};
}

inline std::string AllBytes(TBigEditor& view) {
    return view.Text().GetText(0, view.TextSize());
}
