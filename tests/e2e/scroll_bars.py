"""The scroll bars under the mouse on a file of about 1 MB: a click on an arrow, a drag of the thumb and
a click in the trough each move the view. The caret stays where it is, so the evidence is the text
area's pixels before and after."""

import places
from harness import Failure, run, wait_until

NAME = "long.txt"
MOVE_TIMEOUT = 1.5  # a working scroll bar moves the view at once; four parts share the case's time


def long_lines():
    """About 1 MB in 3500 numbered lines of some 300 characters: wider than the window when not wrapped."""
    return b"".join(b"%06d " % n + b" ".join(b"w%03d" % ((n * 7 + i) % 1000) for i in range(58)) + b"\n"
                    for n in range(1, 3500))


def drive(s, area, parts):
    """Does each part's action in turn; the parts after which the view did not move."""
    stuck = []
    for name, action in parts:
        before = s.x.grab(area)
        action()
        if not wait_until(lambda: s.x.grab(area) != before, MOVE_TIMEOUT, interval=0.1):
            stuck.append(name)
    return stuck


def check(s, window, horizontal):
    geometry = s.x.geometry(window)
    area = places.text_view(geometry, horizontal)
    at = places.horizontal_bar(geometry) if horizontal else places.vertical_bar(geometry, False)
    forward, back = ("right", "left") if horizontal else ("down", "up")
    stuck = drive(s, area, [
        (f"a click on the {forward} arrow", lambda: s.x.click(*at[f"{forward} arrow"])),
        ("a drag of the thumb", lambda: s.x.drag(at["thumb"], at["thumb target"])),
        ("a click in the trough", lambda: s.x.click(*at["trough"])),
        (f"a click on the {back} arrow", lambda: s.x.click(*at[f"{back} arrow"])),
    ])
    if stuck:
        bar = "horizontal" if horizontal else "vertical"
        raise Failure(f"the text did not move after {', '.join(stuck)} of the {bar} scroll bar{s.state()}")


def vertical(s):
    check(s, s.open(NAME, long_lines()), horizontal=False)  # wrapped at the window's width: no other bar


def horizontal(s):
    check(s, s.open(NAME, long_lines(), wrap="none"), horizontal=True)


run({"vertical": vertical, "horizontal": horizontal})
