"""Saving keeps the undo history: an edit saved and then undone (the title shows "*" again) is saved
away, and Ctrl+Shift+Z, the desktop's Redo beside Ctrl+R, brings it back."""

from harness import Failure, run, wait_until, ANSWER_TIMEOUT

NAME = "history.txt"
TEXT = b"abc\n"


def undo_redo_across_saves(s):
    s.open(NAME, TEXT, wrap="none")
    s.x.type("X")
    s.main_window(NAME, ANSWER_TIMEOUT, modified=True)
    s.x.key("ctrl+s")
    saved = s.changed_file(NAME, TEXT, "X and Ctrl+S")
    if saved != b"Xabc\n":
        raise Failure(f"X and Ctrl+S saved {saved!r}")
    s.main_window(NAME, ANSWER_TIMEOUT, modified=False)
    s.x.key("ctrl+z")
    s.main_window(NAME, ANSWER_TIMEOUT, modified=True)  # undone past the save: changed again
    s.x.key("ctrl+s")
    s.changed_file(NAME, saved, "Ctrl+Z after the save and Ctrl+S")
    s.expect_bytes(NAME, TEXT, "Ctrl+Z after the save and Ctrl+S")
    s.x.key("ctrl+shift+z", "ctrl+s")
    s.changed_file(NAME, TEXT, "Ctrl+Shift+Z and Ctrl+S")
    s.expect_bytes(NAME, b"Xabc\n", "Ctrl+Shift+Z and Ctrl+S")


run({"undo-redo": undo_redo_across_saves})
