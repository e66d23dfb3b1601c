"""Where things are on the screen, measured on screenshots of the program with the Fusion style, the
DejaVu fonts and a 96 dpi screen. Every position the scenarios click or read is computed here from the
geometry of a window (its inside, without the frame the window manager draws)."""

from dataclasses import dataclass


@dataclass(frozen=True)
class Rect:
    x: int
    y: int
    width: int
    height: int

    def crop_geometry(self):
        return f"{self.width}x{self.height}+{self.x}+{self.y}"


# Message boxes: the buttons stand in a row at the bottom right, 80 x 24 pixels each, 6 pixels apart,
# 11 pixels from the box's right and bottom edges, in this order from the left.
BUTTON_ORDER = ("Yes", "No", "Cancel", "OK")


def message_box_button(box, buttons, name):
    """The centre of the button `name` in a box showing `buttons` (a tuple of names)."""
    shown = [button for button in BUTTON_ORDER if button in buttons]
    from_right = len(shown) - 1 - shown.index(name)
    return (box.x + box.width - 11 - 40 - from_right * 86, box.y + box.height - 11 - 12)


# The main window (600 x 398 inside): menu bar and tool bar take the top 58 rows, then the editor's
# one-pixel black frame, then the status bar's 23 rows at the bottom. The scroll bars are 14 pixels
# thick inside the frame; their arrow buttons are 14 pixels long.
EDITOR_TOP = 59
EDITOR_BOTTOM_GAP = 24  # from the editor's last row to the window's bottom edge
BAR = 14


def editor_inside(window):
    return Rect(window.x + 1, window.y + EDITOR_TOP, window.width - 2,
                window.height - EDITOR_TOP - EDITOR_BOTTOM_GAP)


LINE_HEIGHT = 18  # the editor's 13-pixel fixed-pitch font


def text_line(window, row):
    """A point inside the text of the `row`th line shown (from 0), 40 pixels from the left."""
    inside = editor_inside(window)
    return (inside.x + 40, inside.y + row * LINE_HEIGHT + LINE_HEIGHT // 2)


def text_row(window, row):
    """The `row`th line shown (from 0), without the caret's column and the scroll bar's."""
    inside = editor_inside(window)
    return Rect(inside.x + 10, inside.y + row * LINE_HEIGHT, inside.width - BAR - 10, LINE_HEIGHT)


def text_view(window, horizontal_bar):
    """The text without the scroll bars and without the left 10 pixels, where the caret blinks when it
    stands in the first column: pixels there change without the view moving."""
    inside = editor_inside(window)
    return Rect(inside.x + 10, inside.y, inside.width - BAR - 10,
                inside.height - (BAR if horizontal_bar else 0))


def vertical_bar(window, horizontal_bar):
    """Places on the vertical scroll bar: the arrows, the thumb while it is near the top, a place to
    drag it to, and the trough near the bottom (below the thumb, even once dragged there)."""
    inside = editor_inside(window)
    x = inside.x + inside.width - BAR // 2
    top = inside.y
    bottom = inside.y + inside.height - (BAR if horizontal_bar else 0)
    return {"up arrow": (x, top + BAR // 2), "down arrow": (x, bottom - BAR // 2),
            "thumb": (x, top + BAR + 6), "thumb target": (x, top + BAR + 156),
            "trough": (x, bottom - BAR - 20)}


def horizontal_bar(window):
    """Places on the horizontal scroll bar: the arrows, the thumb while it is near the left end, a
    place to drag it to, and the trough near the right end (right of the thumb, even once dragged)."""
    inside = editor_inside(window)
    y = inside.y + inside.height - BAR // 2
    left = inside.x
    right = inside.x + inside.width - BAR
    return {"left arrow": (left + BAR // 2, y), "right arrow": (right - BAR // 2, y),
            "thumb": (left + BAR + 20, y), "thumb target": (left + BAR + 220, y),
            "trough": (right - BAR - 25, y)}


def status_panel(window):
    """The inside of the status bar's first panel, where a long operation shows "ESC to Cancel"."""
    return Rect(window.x + 4, window.y + window.height - 19, 140, 13)
