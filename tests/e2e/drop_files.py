"""A file dragged from another program (a file manager, here a small Qt program that drags the files it
is given) and dropped on the window opens in a page of its own."""

import os
import subprocess

import places
from harness import ANSWER_TIMEOUT, Failure, run, wait_until


def drop(s):
    s.write("dropped.txt", b"brought by a drag\n")
    window = s.open("first.txt", b"already open\n", wrap="none")
    source_program = os.path.join(os.path.dirname(s.program), "qv_drag_source")
    source = subprocess.Popen([source_program, s.path("dropped.txt")], env=s.x.env,
                              stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        if source.stdout.readline().strip() != b"ready":
            raise Failure("the dragging program did not start")
        found = wait_until(lambda: s.x.windows("Drag Source"), ANSWER_TIMEOUT)
        if not found:
            raise Failure("the dragging program showed no window")
        s.x.run("xdotool", "windowmove", "--sync", str(found[0]), "700", "100")
        start = s.x.geometry(found[0])
        s.x.drag((start.x + 100, start.y + 75), places.text_line(s.x.geometry(window), 3))
        s.main_window("dropped.txt", ANSWER_TIMEOUT)
    finally:
        source.terminate()
        source.wait()


run({"drop": drop})
