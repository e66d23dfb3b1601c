"""Saving in place where the file's name or links could mislead a save: a file named like the temporary
files of a save keeps its text, and a file with two links shows the new text under both names."""

import os

from harness import Failure, run


def odd_name(s):
    s.open("notes.$$$", b"old text\n", wrap="none")
    s.x.type("new ")
    s.x.key("ctrl+s")
    s.changed_file("notes.$$$", b"old text\n", "Ctrl+S")
    s.expect_bytes("notes.$$$", b"new old text\n", "Ctrl+S on notes.$$$")
    s.expect_bytes("notes.BAK", b"old text\n", "Ctrl+S on notes.$$$ (its backup)")


def hard_links(s):
    s.write("first.txt", b"linked text\n")
    os.link(s.path("first.txt"), s.path("second.txt"))
    s.start("first.txt")
    s.x.activate(s.main_window("first.txt"))  # a first start does not wrap: no question about line breaks
    s.x.type("new ")
    s.x.key("ctrl+s")
    s.changed_file("second.txt", b"linked text\n", "Ctrl+S on first.txt")
    s.expect_bytes("first.txt", b"new linked text\n", "Ctrl+S")
    s.expect_bytes("second.txt", b"new linked text\n", "Ctrl+S on its other name")
    if os.stat(s.path("first.txt")).st_nlink != 2:
        raise Failure("after Ctrl+S, first.txt and second.txt are no longer one file")
    s.expect_bytes("first.BAK", b"linked text\n", "Ctrl+S (the backup)")


run({"odd-name": odd_name, "hard-links": hard_links})
