"""Select All takes the whole text, the final line break too: deleting it and typing leaves only what
was typed."""

from harness import run

NAME = "ends.txt"
TEXT = b"some text\nthat ends with a line break\n"
STEPS = "Ctrl+S, Ctrl+A, Delete, new, Ctrl+S"


def replace_everything(s):
    s.open(NAME, TEXT, wrap="none")
    s.x.key("ctrl+s", "ctrl+a", "Delete")
    s.x.type("new")
    s.x.key("ctrl+s")
    s.changed_file(NAME, TEXT, STEPS)
    s.expect_bytes(NAME, b"new", STEPS)


run({"whole-text": replace_everything})
