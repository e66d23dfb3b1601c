"""A second `quorvel FILE` hands FILE to the instance already running, which shows it in a page and
comes to the front, and ends at once with status 0; the socket and its folder are the user's alone. Of
two instances started together one receives, the other hands it its file. An instance started while
the first is being killed, or beside a socket that a killed instance left, ends up the one window
holding its file, and takes files from later starts in turn."""

import os
import signal
import socket
import stat

from harness import ANSWER_TIMEOUT, START_TIMEOUT, Failure, run, wait_until


def second_start_ends(s, name):
    process = s.start(name)
    if not wait_until(lambda: process.poll() is not None, ANSWER_TIMEOUT):
        raise Failure(f"a second `quorvel {name}` still runs {ANSWER_TIMEOUT} s later")
    if process.returncode != 0:
        raise Failure(f"a second `quorvel {name}` ended with status {process.returncode}")


def one_window_showing(s, name):
    window = s.main_window(name)
    shown = s.main_windows()
    if shown != [window]:
        raise Failure(f"{len(shown)} main windows instead of one: {s.x.titles()}")
    return window


def write_files(s):
    for name in ("a.txt", "b.txt", "c.txt"):
        s.write(name, name.encode() + b"\n")


def socket_folder(s):
    return os.path.join(s.x.env["XDG_RUNTIME_DIR"], "quorvel")


def second_start(s):
    write_files(s)
    s.start("a.txt")
    s.main_window("a.txt")
    for name, allowed in ((socket_folder(s), 0o700), (os.path.join(socket_folder(s), "socket"), 0o700)):
        mode = stat.S_IMODE(os.lstat(name).st_mode)
        if mode & ~allowed or mode & 0o077:
            raise Failure(f"{name} has mode {mode:o}: other users could reach it")
    second_start_ends(s, "b.txt")
    window = one_window_showing(s, "b.txt")
    active = s.x.run("xdotool", "getactivewindow", check=False).strip()
    if active != str(window):
        raise Failure("the window that took b.txt did not come to the front")


def killed_first(s):
    write_files(s)
    first = s.start("a.txt")
    s.main_window("a.txt")
    first.send_signal(signal.SIGKILL)
    s.start("b.txt")  # while the first is being killed
    one_window_showing(s, "b.txt")
    second_start_ends(s, "c.txt")
    one_window_showing(s, "c.txt")


def started_together(s):
    write_files(s)
    first, second = s.start("a.txt"), s.start("b.txt")
    if not wait_until(lambda: first.poll() is not None or second.poll() is not None, START_TIMEOUT):
        raise Failure("two instances started together both still run: neither handed its file over")
    sender = first if first.poll() is not None else second
    if sender.returncode != 0:
        raise Failure(f"the instance that handed its file over ended with status {sender.returncode}")
    names = ["a.txt", "b.txt"] if sender is first else ["b.txt", "a.txt"]
    window = one_window_showing(s, names[0])
    s.x.activate(window)
    s.x.key("ctrl+Tab")  # the receiver's own file is on the other page
    one_window_showing(s, names[1])


def stale_socket(s):
    write_files(s)
    folder = socket_folder(s)
    os.makedirs(folder, mode=0o700, exist_ok=True)
    stale = socket.socket(socket.AF_UNIX)
    stale.bind(os.path.join(folder, "socket"))  # bound, never listening: what a killed instance leaves
    stale.close()
    s.start("b.txt")
    one_window_showing(s, "b.txt")
    second_start_ends(s, "c.txt")
    one_window_showing(s, "c.txt")


run({"second-start": second_start, "started-together": started_together, "killed-first": killed_first,
     "stale-socket": stale_socket})
