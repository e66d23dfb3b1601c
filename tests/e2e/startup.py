"""Starting the program on a file, again and again while every core is busy: each start shows the
window titled with the file's name and its text, and ends when asked, never hanging. Starts alternate
between an ordinary one (the window and its text are checked on the screen, then File > Exit) and one
with QUORVEL_FIRST_PAINT_REPORT set, where the program reports its memory and the size of the text it
shows after painting it for the first time, and ends by itself."""

import subprocess
import sys

import places
from harness import EXIT_TIMEOUT, START_TIMEOUT, Failure, run, wait_until
from xsession import stop

NAME = "start.txt"
TEXT = b"".join(b"line %04d of the text that the window shows at once\n" % n for n in range(2000))
STARTS = 20
LOADERS = 3  # busy processes: more than the two cores of a small machine


def dark_pixels(rgb):
    return sum(1 for i in range(0, len(rgb), 3) if rgb[i] < 128 and rgb[i + 1] < 128 and rgb[i + 2] < 128)


def start_and_exit(s, attempt):
    s.start(NAME)
    window = s.main_window(NAME)
    row = places.text_row(s.x.geometry(window), 0)
    if not wait_until(lambda: dark_pixels(s.x.grab(row)) > 50, START_TIMEOUT, interval=0.1):
        raise Failure(f"start {attempt}: the window 'Quorvel - {NAME}' shows no text{s.state()}")
    s.x.activate(window)
    s.x.key("alt+x")
    if not s.exited(EXIT_TIMEOUT):
        raise Failure(f"start {attempt}: the program still runs {EXIT_TIMEOUT} s after File > Exit"
                      f"{s.state()}")


def start_with_report(s, attempt):
    process = s.start(NAME, extra_env={"QUORVEL_FIRST_PAINT_REPORT": "1"}, stdout=subprocess.PIPE)
    try:
        report, _ = process.communicate(timeout=START_TIMEOUT)
    except subprocess.TimeoutExpired:
        raise Failure(f"start {attempt} with QUORVEL_FIRST_PAINT_REPORT: the program did not end within "
                      f"{START_TIMEOUT} s{s.state()}")
    fields = report.split()
    if process.returncode != 0 or len(fields) != 2 or not all(f.isdigit() for f in fields):
        raise Failure(f"start {attempt} with QUORVEL_FIRST_PAINT_REPORT: status {process.returncode}, "
                      f"output {report!r} instead of the resident memory in KiB and the text's size")
    if int(fields[1]) != len(TEXT):
        raise Failure(f"start {attempt} with QUORVEL_FIRST_PAINT_REPORT: the first frame showed a text of "
                      f"{int(fields[1])} bytes, not the {len(TEXT)} of {NAME}")


def starts(s):
    s.write(NAME, TEXT)
    loaders = [subprocess.Popen([sys.executable, "-c", "while True: pass"]) for _ in range(LOADERS)]
    try:
        for attempt in range(1, STARTS + 1):
            (start_and_exit if attempt % 2 else start_with_report)(s, attempt)
            if s.process.returncode != 0:
                raise Failure(f"start {attempt}: the program ended with status {s.process.returncode}")
    finally:
        for loader in loaders:
            stop(loader, grace=0.5)


run({"starts": starts})
