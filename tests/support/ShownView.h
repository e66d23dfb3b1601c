#pragma once

#include <memory>

#include <QTest>

#include "text/LinesBuffer.h"

// A viewer shown offscreen with a client area of `rows` by `columns` characters.
template <typename TView> struct TShownView {
    // Without a text the view keeps its own. Unless `settle` is false the layout is complete; otherwise
    // the background scan has not started.
    TShownView(std::unique_ptr<TLinesBuffer> text, TWrapModes mode, int rows, int columns,
               bool settle = true) {
        if (text) view.SetTextBuffer(std::move(text));
        view.show();
        Resize(QSize(columns * static_cast<int>(view.CharWidth()) + 1,
                     rows * static_cast<int>(view.LineHeight())));
        view.SetWrapMode(mode);
        view.setFocus();
        if (settle) Settle();
    }
    // Sizes the client area; showing or hiding a scroll bar changes it, so this may take a few rounds.
    void Resize(QSize client) {
        for (int round = 0; round < 4 && view.viewport()->size() != client; ++round) {
            view.resize(view.size() + client - view.viewport()->size());
            QTest::qWait(1);
        }
    }
    void Settle() {
        for (bool done = false; !done;)
            view.IdleStep(done);
    }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(&view, key, modifiers);
    }
    // The middle of the left quarter of a character cell, in viewport coordinates.
    QPoint At(TTextPos ch, TTextPos line) const {
        return QPoint(static_cast<int>(ch * view.CharWidth() + view.CharWidth() / 4 + view.LeftMargin() -
                                       view.HorzOffset()),
                      static_cast<int>((line - view.TopLine()) * view.LineHeight() + view.LineHeight() / 2));
    }
    TView view;
};
