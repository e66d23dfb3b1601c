"""Another program changes an open file: a bar above its text says so at once and offers Reload
(Alt+R), which shows the file as it is now; the text typed then is saved with it."""

import os

import places
from harness import ANSWER_TIMEOUT, Failure, run, wait_until

NAME = "watched.txt"
TEXT = b"as opened\n"
THEIRS = b"as the other program left it\n"


def replace(s):
    s.write("watched.new", THEIRS)
    os.rename(s.path("watched.new"), s.path(NAME))  # as most programs save
    return "replacing the file"


def write_over(s):
    s.write(NAME, THEIRS)  # the same file, other bytes
    return "writing over the file"


def reload_after(change):
    def case(s):
        window = s.open(NAME, TEXT, wrap="none")
        row = places.text_row(s.x.geometry(window), 0)
        top = places.Rect(row.x, row.y, row.width // 2, row.height)  # left of the bar's buttons
        before = s.x.grab(top)
        what = change(s)
        if not wait_until(lambda: s.x.grab(top) != before, ANSWER_TIMEOUT):
            raise Failure(f"nothing showed above the text within {ANSWER_TIMEOUT} s of {what}")
        s.shot("disk_change_" + change.__name__)
        with_bar = s.x.grab(top)
        s.x.key("alt+r")
        if not wait_until(lambda: s.x.grab(top) != with_bar, ANSWER_TIMEOUT):
            raise Failure(f"the bar stayed {ANSWER_TIMEOUT} s after Alt+R{s.state()}")
        s.x.type("+")
        s.x.key("ctrl+s")
        steps = f"{what}, Alt+R, + and Ctrl+S"
        s.changed_file(NAME, THEIRS, steps)
        s.expect_bytes(NAME, b"+" + THEIRS, steps)
    return case


run({"replaced-reload": reload_after(replace), "rewritten-reload": reload_after(write_over)})
