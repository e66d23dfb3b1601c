"""The recent files on the File menu: three files opened one after the other are listed newest first,
and choosing a number opens that file; one that has gone since is taken off the list with a message."""

import os

from harness import ANSWER_TIMEOUT, Failure, run, wait_until

NAMES = ("a.txt", "b.txt", "c.txt")


def open_with_dialog(s, window, name):
    s.x.activate(window)
    s.x.key("ctrl+o")
    if not wait_until(lambda: s.x.windows("Open File"), ANSWER_TIMEOUT):
        raise Failure(f"Ctrl+O showed no 'Open File' dialog{s.state()}")
    s.x.type(s.path(name))
    s.x.key("Return")
    return s.main_window(name)


def choose_recent(s, window, number):
    """File menu, then the entry's number (its mnemonic)."""
    s.x.activate(window)
    s.x.key("alt+f", str(number))


def three_files(s):
    for name in NAMES:
        s.write(name, name.encode() + b"\n")
    s.start(NAMES[0])
    window = s.main_window(NAMES[0])
    for name in NAMES[1:]:
        window = open_with_dialog(s, window, name)
    # Newest first: 1 is c.txt, 2 is b.txt, 3 is a.txt.
    for number, name in ((3, "a.txt"), (2, "b.txt"), (1, "c.txt")):
        choose_recent(s, window, number)
        window = s.main_window(name)
    s.exit_program(window)
    history = s.settings().get("File History", {})
    listed = [history.get(f"FileList{i}") for i in (1, 2, 3)]
    if listed != [s.path(name) for name in reversed(NAMES)] or history.get("FileListCount") != "3":
        raise Failure(f"the store lists {listed} (count {history.get('FileListCount')!r}), not c, b, a")


def gone_file(s):
    for name in NAMES:
        s.write(name, name.encode() + b"\n")
    s.write_settings("[File History]\nFileListCount=3\n" +
                     "".join(f"FileList{i}={s.path(name)}\n" for i, name in enumerate(reversed(NAMES), 1)))
    os.remove(s.path("b.txt"))
    s.start("a.txt")  # which goes to the top: 1 a.txt, 2 c.txt, 3 b.txt
    window = s.main_window("a.txt")
    choose_recent(s, window, 3)
    box = s.message_box("saying b.txt has gone")
    s.answer(box, ("OK",), "Return")
    s.exit_program(window)
    history = s.settings().get("File History", {})
    if any(history.get(f"FileList{i}") == s.path("b.txt") for i in range(1, 4)):
        raise Failure(f"b.txt, which has gone, is still on the list: {history}")


run({"three-files": three_files, "gone-file": gone_file})
