"""File > Save As through the real file dialog: the text goes to the new name, the old file stays as it
was, and the window's title follows the new name."""

from harness import ANSWER_TIMEOUT, Failure, run, wait_until

DIALOG = "Save File"


def save_as(s):
    s.open("old.txt", b"kept as it was\n", wrap="none")
    s.x.type("new ")
    # File > Save As...: A is Page Setup's letter too, so it only picks the first of the two.
    s.x.key("alt+f", "a", "Return")
    dialog = wait_until(lambda: s.x.windows(DIALOG), ANSWER_TIMEOUT)
    if not dialog:
        raise Failure(f"File > Save As... showed no '{DIALOG}' dialog{s.state()}")
    # The name field has the focus with the current name selected: typing replaces it.
    s.x.type(s.path("copy.txt"))
    s.x.key("Return")
    if not wait_until(lambda: not s.x.windows(DIALOG), ANSWER_TIMEOUT):
        raise Failure(f"the '{DIALOG}' dialog stayed open after Return on a new name{s.state()}")
    s.changed_file("copy.txt", None, "Save As to copy.txt")
    s.expect_bytes("copy.txt", b"new kept as it was\n", "Save As")
    s.expect_bytes("old.txt", b"kept as it was\n", "Save As to another name")
    s.main_window("copy.txt", timeout=ANSWER_TIMEOUT)


run({"save-as": save_as})
