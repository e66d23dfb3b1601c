"""Bookmarks and Goto through the real window. F11 names the caret's place; text typed before it does
not lose it, and F12 goes back there. Ctrl+G takes a line number. In a 1 GB file the window shows the
line asked for at once, by estimate, and the status bar reads its exact number once the background count
has got there (read from the program's timing log, QUORVEL_TIMING_LOG)."""

import os

from harness import ANSWER_TIMEOUT, Failure, run, wait_until

TEXT = b"line one\nline two\nline three\nline four\n"


def bookmark_and_goto(s):
    window = s.open("notes.txt", TEXT, wrap="none")
    s.x.key("Down", "Down")  # line three
    s.x.key("F11")
    s.dialog("Add Bookmark", "F11")
    s.shot("add-bookmark")
    s.x.key("Return")  # OK adds "Bookmark0"
    wait_until(lambda: not s.x.windows("Add Bookmark"), ANSWER_TIMEOUT)
    s.x.activate(window)
    s.x.key("ctrl+Home")
    s.x.type("new ")  # before the bookmark, which moves with its text
    s.x.key("ctrl+End", "F12")
    s.x.type("#")
    s.x.key("ctrl+g")
    s.dialog("Goto", "Ctrl+G")
    s.shot("goto")
    s.x.key("ctrl+a")
    s.x.type("4")
    s.x.key("Return")  # OK goes to line 4 and closes
    wait_until(lambda: not s.x.windows("Goto"), ANSWER_TIMEOUT)
    s.x.activate(window)
    s.x.type("@")
    s.x.key("ctrl+s")
    s.changed_file("notes.txt", TEXT, "F11, F12, Ctrl+G and Ctrl+S")
    s.expect_bytes("notes.txt", b"new line one\nline two\n#line three\n@line four\n",
                   "a bookmark on line three, text typed before it, F12 and Goto line 4")


BIG_LINES = 16_000_000
TARGET = 9_000_000


def write_big_file(path):
    """About 1 GB of lines that grow a little longer towards the end, so that a line's place estimated
    from the lines counted so far is off and has to be put right. Each line starts with its number."""
    with open(path, "wb") as file:
        chunk = []
        for n in range(1, BIG_LINES + 1):
            chunk.append(b"%08d " % n + b"x" * (50 + n * 12 // BIG_LINES + n % 7) + b"\n")
            if len(chunk) == 100_000:
                file.write(b"".join(chunk))
                chunk = []
        file.write(b"".join(chunk))


def big_file(s):
    name = "big.txt"
    write_big_file(s.path(name))
    log = os.path.join(s.workdir, "timing.log")
    s.start(name, extra_env={"QUORVEL_TIMING_LOG": log})
    window = s.main_window(name)
    s.x.activate(window)
    s.x.key("ctrl+g")
    s.dialog("Goto", "Ctrl+G")
    s.x.key("ctrl+a")
    s.x.type(str(TARGET))
    s.x.key("Return")

    def lines():
        with open(log) as file:
            return file.read().splitlines()

    def status():
        for line in reversed(lines()):
            if " status " in line:
                return line.split(" status ", 1)[1]
        return ""

    exact = wait_until(lambda: status().startswith(f"Ln {TARGET} Ch "), 80, interval=0.5)
    s.shot("goto-big-file")
    if not exact:
        raise Failure(f"the status bar reads {status()!r}, not line {TARGET}, 80 s after Goto")
    entries = [line.split(" ", 1) for line in lines()]
    returns = [float(t) for t, what in entries if what == "key Return"]
    paints = [float(t) for t, what in entries if what == "paint" and returns and float(t) > returns[-1]]
    if not paints:
        raise Failure("the text was not painted after the Goto dialog's Return")
    if paints[0] - returns[-1] > 100:
        raise Failure(f"the text was painted {paints[0] - returns[-1]:.0f} ms after Return, not within 100 ms")
    print(f"painted {paints[0] - returns[-1]:.1f} ms after Return")


run({"bookmark-and-goto": bookmark_and_goto, "big-file": big_file})
