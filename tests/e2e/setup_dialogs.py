"""Preferences, Tab Stops, File Properties and the help through the real window. A mail quote set in
Setup > Preferences is in the settings store after Exit and quotes pasted text after a new start; tab
stops set in Format > Tab Stops are stored; Read Only ticked in File > Properties takes the file's write
permission at the next save; F1 and a dialog's Help button show their help pages, and Help > Quorvel
Home Page hands the address to the desktop's opener."""

import os
import re
import stat
import time

from harness import ANSWER_TIMEOUT, Failure, run, wait_until

PREFERENCES = "Setup Preferences"


def quote_restart(s):
    s.write("reply.txt", b"My answer.\n")
    s.start("reply.txt")
    window = s.main_window("reply.txt")
    s.x.activate(window)
    s.x.key("alt+u", "p")  # Setup > Preferences...
    s.dialog(PREFERENCES, "Setup > Preferences...")
    s.shot("preferences-open")
    for page, keys in (("save", "alt+s"), ("view", "alt+v"), ("startup", "ctrl+Tab"), ("editor", "alt+e")):
        s.x.key(keys)
        s.shot("preferences-" + page)
    s.x.key("alt+m")  # "Mail Quote Prefix", its text selected
    s.x.type("#")
    s.x.key("Return")
    wait_until(lambda: not s.x.windows(PREFERENCES), ANSWER_TIMEOUT)
    s.exit_program(window)
    stored = s.settings().get("Editor", {}).get("Quote")
    if stored != "#":
        raise Failure(f"the store holds Quote={stored!r} after Preferences and Exit, not '#'")

    with s.clipboard_owner("Hello from elsewhere"):
        s.start("reply.txt")
        window = s.main_window("reply.txt")
        s.x.activate(window)
        s.x.key("F6", "ctrl+s")
        s.changed_file("reply.txt", b"My answer.\n", "F6 (Paste Quote) and Ctrl+S after a new start")
        s.expect_bytes("reply.txt", b"#Hello from elsewhere\nMy answer.\n",
                       "Paste Quote with the quote set in Preferences before the restart")


def tab_stops(s):
    window = s.open("tabs.txt", b"a\tb\tc\n", wrap="none")
    s.x.key("alt+t", "t")  # Format > Tab Stops...
    s.dialog("Define Tab Stops", "Format > Tab Stops...")
    s.x.type("1")  # a bare number is in inches
    s.x.key("alt+s")  # Set
    time.sleep(0.3)  # a button pressed by its mnemonic clicks 100 ms later: typing must wait
    s.x.type("2.5")
    s.shot("tab-stops")
    s.x.key("Return")  # OK also takes the length still typed
    wait_until(lambda: not s.x.windows("Define Tab Stops"), ANSWER_TIMEOUT)
    s.exit_program(window)
    tabs = s.settings().get("Tabs", {})
    if (tabs.get("Count"), tabs.get("Tab1"), tabs.get("Tab2")) != ("2", "1.00", "2.50"):
        raise Failure(f"the store holds the tab stops {tabs!r} after Tab Stops and Exit, not 1 and 2.5 inches")


def file_properties(s):
    window = s.open("letter.txt", b"Dear all,\n", wrap="none")
    s.x.key("alt+f", "e", "e", "Return")  # File > Properties... (Print Setup comes first with its "e")
    s.dialog("File Properties", "File > Properties...")
    s.shot("file-properties")
    s.x.key("Tab", "space", "Return")  # Read Only ticked, OK
    wait_until(lambda: not s.x.windows("File Properties"), ANSWER_TIMEOUT)
    s.x.activate(window)
    if os.stat(s.path("letter.txt")).st_mode & stat.S_IWUSR == 0:
        raise Failure("the file lost its write permission before it was saved")
    s.x.key("ctrl+End")
    s.x.type("Bye")
    s.x.key("ctrl+s")
    s.changed_file("letter.txt", b"Dear all,\n", "Ctrl+S")
    mode = os.stat(s.path("letter.txt")).st_mode
    if mode & (stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH):
        raise Failure(f"the file saved after Read Only was ticked still has write permission ({mode & 0o777:o})")


def page_title(s, topic):
    """The title of a help page as the build folder beside the program holds it."""
    folder = os.path.join(os.path.dirname(s.program), "share", "quorvel", "help")
    with open(os.path.join(folder, topic), encoding="utf-8") as file:
        return re.search(r"<title>(.*?)</title>", file.read()).group(1)


def help_pages(s):
    opener = os.path.join(s.workdir, "bin")
    os.makedirs(opener)
    opened = os.path.join(s.workdir, "opened.txt")
    with open(os.path.join(opener, "xdg-open"), "w") as file:
        file.write(f'#!/bin/sh\necho "$1" >> {opened}\n')
    os.chmod(os.path.join(opener, "xdg-open"), 0o755)
    s.write("text.txt", b"some text\n")
    s.start("text.txt", extra_env={"PATH": opener + os.pathsep + s.x.env["PATH"]})
    window = s.main_window("text.txt")
    s.x.activate(window)
    s.x.key("F1")
    s.dialog("Quorvel Help - " + re.escape(page_title(s, "topic1.html")), "F1")
    s.shot("help")
    s.x.key("Escape")
    s.x.activate(window)
    s.x.key("ctrl+g")
    s.dialog("Goto", "Ctrl+G")
    s.x.key("alt+h")
    s.dialog("Quorvel Help - " + re.escape(page_title(s, "topic17.html")), "the Goto dialog's Help button")
    s.x.key("Escape")
    wait_until(lambda: not s.x.windows("Quorvel Help - .*"), ANSWER_TIMEOUT)
    s.x.key("Escape")
    s.x.activate(window)
    s.x.key("alt+h", "a")  # Help > About...
    box = s.message_box("from Help > About...")
    s.shot("about")
    s.answer(box, ("OK",), "Return")
    s.x.activate(window)
    s.x.key("alt+h", "q")  # Help > Quorvel Home Page
    if not wait_until(lambda: os.path.exists(opened), ANSWER_TIMEOUT):
        raise Failure(f"Help > Quorvel Home Page started no browser{s.state()}")
    with open(opened) as file:
        url = file.read().strip()
    if not url.startswith("https://"):
        raise Failure(f"Help > Quorvel Home Page handed {url!r} to the desktop's opener")


run({"quote-restart": quote_restart, "tab-stops": tab_stops, "file-properties": file_properties,
     "help": help_pages})
