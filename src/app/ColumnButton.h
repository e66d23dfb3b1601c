#pragma once

#include <QGridLayout>
#include <QPushButton>

// A button in the column right of a dialog's grid (column 1, at `row`). Only the dialog's default
// button answers Return, whichever button last had the focus.
inline QPushButton* ColumnButton(QGridLayout* grid, const char* caption, int row) {
    auto* button = new QPushButton(caption, grid->parentWidget());
    button->setAutoDefault(false);
    grid->addWidget(button, row, 1, Qt::AlignTop);
    return button;
}
