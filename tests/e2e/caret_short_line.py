"""Typing on an empty line reached from the end of a longer one: the caret comes down to the short
line's end, so what is typed starts the line, with no spaces before it."""

from harness import run

NAME = "lines.txt"
TEXT = b"first line of text here\n\nthird line\n"


def type_on_empty_line(s):
    s.open(NAME, TEXT, wrap="none")
    s.x.key("ctrl+Home", "End", "Down")
    s.x.type("Q")
    s.x.key("ctrl+s")
    s.changed_file(NAME, TEXT, "Ctrl+Home, End, Down, Q, Ctrl+S")
    s.expect_bytes(NAME, b"first line of text here\nQ\nthird line\n", "Ctrl+Home, End, Down, Q, Ctrl+S")


run({"empty-line": type_on_empty_line})
