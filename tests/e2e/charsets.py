"""Characters typed through the desktop's keyboard (xdotool types their key symbols) reach the file in
its own set: a UTF-8 file gets their UTF-8 bytes; a Windows-1252 file refuses one it cannot hold, says
so, and keeps its bytes. The caret and the deleting keys go by characters, never into a UTF-8 sequence."""

import os

from harness import ANSWER_TIMEOUT, START_TIMEOUT, Failure, run, wait_until

TYPED = "Zo\u00eb\u20ac\u00df\u2603"
# The typed characters that a US keyboard lacks, as X names them.
KEYSYMS = ("ediaeresis", "EuroSign", "ssharp", "U2603")


def utf8_file(s):
    text = "caf\u00e9\nGr\u00fc\u00dfe, \u041f\u0440\u0438\u0432\u0435\u0442, \u65e5\u672c\u8a9e \u20ac\n".encode()
    s.x.add_keys(*KEYSYMS)
    s.open("utf8.txt", text, wrap="none")
    s.shot("utf8-file")
    s.x.type(TYPED)
    s.x.key("ctrl+s")
    s.changed_file("utf8.txt", text, "typing and Ctrl+S")
    s.expect_bytes("utf8.txt", TYPED.encode() + text, f"typing {TYPED!r} into a UTF-8 file and Ctrl+S")


def new_document(s):
    """A new text is UTF-8: typed characters that Windows-1252 lacks go into it, and Ctrl+S through the
    file dialog writes their UTF-8 bytes."""
    s.x.add_keys(*KEYSYMS)
    s.start()
    # Started without a file, the program offers to open one; Esc leaves the new text.
    if not wait_until(lambda: s.x.windows("Open File"), START_TIMEOUT):
        raise Failure(f"no 'Open File' dialog at a start without files{s.state()}")
    s.x.key("Escape")
    window = s.main_window("<untitled>")
    if not wait_until(lambda: not s.x.windows("Open File"), ANSWER_TIMEOUT):
        raise Failure(f"the 'Open File' dialog stayed open after Esc{s.state()}")
    s.x.activate(window)
    s.x.type(TYPED)
    s.x.key("ctrl+s")
    if not wait_until(lambda: s.x.windows("Save File"), ANSWER_TIMEOUT):
        raise Failure(f"Ctrl+S on a new text showed no file dialog{s.state()}")
    s.x.type(s.path("new.txt"))
    s.x.key("Return")
    s.changed_file("new.txt", None, "Ctrl+S and a name")
    s.expect_bytes("new.txt", TYPED.encode(), f"typing {TYPED!r} into a new text and saving it")


def switched_to_utf8(s):
    """A stray byte makes a file Windows-1252; View > UTF-8 shows it as UTF-8 text with the byte as one
    replacement mark, and saving keeps the byte."""
    text = "\u041f\u0440\u0438\u0432\u0435\u0442 stray ".encode() + b"\xff byte\n"
    s.open("mixed.txt", text, wrap="none")
    s.x.key("alt+v", "u")
    s.shot("switched-to-utf8")
    s.x.key("End", "BackSpace", "ctrl+s")  # the last character: "e", one byte
    s.changed_file("mixed.txt", text, "Backspace and Ctrl+S")
    s.expect_bytes("mixed.txt", text[:-2] + b"\n", "a Backspace after View > UTF-8, and Ctrl+S")


def utf8_characters(s):
    text = "Zo\u00eb\u65e5\u672cx\n".encode()
    s.open("chars.txt", text, wrap="none")
    # Past Z, o, the two-byte e with diaeresis and a three-byte ideograph, then back before the ideograph:
    # BackSpace takes the e, Delete the ideograph.
    s.x.key("Right", "Right", "Right", "Right", "Left", "BackSpace", "Delete")
    s.x.key("ctrl+s")
    s.changed_file("chars.txt", text, "moving, BackSpace, Delete and Ctrl+S")
    s.expect_bytes("chars.txt", "Zo\u672cx\n".encode(), "Right \u00d74, Left, BackSpace, Delete and Ctrl+S")


def windows1252_file(s):
    text = b"caf\xe9\n"
    log = os.path.join(s.workdir, "messages.log")
    s.write("latin.txt", text)
    s.x.add_keys(*KEYSYMS)
    s.start("latin.txt", extra_env={"QUORVEL_MESSAGE_LOG": log})
    s.x.activate(s.main_window("latin.txt"))
    s.x.type("\u2603")
    box = s.message_box("refusing a snowman in Windows-1252 text")
    expected = '"\u2603" (U+2603) cannot be written in Windows-1252 text; nothing was changed'
    told = wait_until(lambda: os.path.exists(log) and open(log, encoding="utf-8").read().splitlines(), 5)
    if told != [expected]:
        raise Failure(f"the program said {told} instead of {[expected]}")
    if not s.answer(box, ["OK"], "Return"):
        raise Failure(f"the message box stayed open after Return{s.state()}")
    s.x.type("\u00eb\u20ac")
    s.x.key("ctrl+s")
    s.changed_file("latin.txt", text, "typing and Ctrl+S")
    s.expect_bytes("latin.txt", b"\xeb\x80" + text, "a refused character, then typing and Ctrl+S")


run({"utf8-file": utf8_file, "new-document": new_document, "switched-to-utf8": switched_to_utf8, "utf8-characters": utf8_characters,
     "windows1252-file": windows1252_file})
