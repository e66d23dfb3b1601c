#pragma once

#include <QIcon>

enum class TToolIcon {
    New,
    Open,
    Save,
    Print,
    Cut,
    Copy,
    Paste,
    Find,
    WrapNone,
    WrapWindow,
    WrapPrinter,
    WrapChars,
    ZoomIn,
    ZoomOut,
    Merge,
    FlowText,
    Reformat,
    Properties,
};

// The tool bar's images: the desktop icon theme's where it has one, else drawn here.
QIcon ToolIcon(TToolIcon which);
