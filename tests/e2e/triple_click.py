"""A triple click selects the line under the pointer: a key typed then replaces the line's text, and
its line break stays."""

import places
from harness import run

NAME = "three.txt"
TEXT = b"alpha beta\nsecond line here\nthird\n"


def triple_click(s):
    window = s.open(NAME, TEXT, wrap="none")
    s.x.click(*places.text_line(s.x.geometry(window), 1), count=3)
    s.x.type("Z")
    s.x.key("ctrl+s")
    s.changed_file(NAME, TEXT, "a triple click on the second line, Z and Ctrl+S")
    s.expect_bytes(NAME, b"alpha beta\nZ\nthird\n", "a triple click on the second line, Z and Ctrl+S")


run({"select-line": triple_click})
