"""The editor's text in the X selections other programs read and fill: Copy gives the clipboard the text
(its Windows-1252 bytes as characters), selecting offers the primary selection, and a middle click
pastes another program's primary selection where the pointer is."""

import places
from harness import ANSWER_TIMEOUT, Failure, run, shown, wait_until

NAME = "shared.txt"
TEXT = b"caf\xe9 \x80 first line\nsecond\n"


def copy_to_clipboard(s):
    s.open(NAME, TEXT, wrap="none")
    s.x.key("ctrl+a", "ctrl+c")
    expected = TEXT.decode("cp1252").encode()
    got = wait_until(lambda: s.x.selection("clipboard") == expected, ANSWER_TIMEOUT)
    if not got:
        raise Failure(f"after Ctrl+A, Ctrl+C, xclip -o reads {shown(s.x.selection('clipboard'))} "
                      f"instead of {shown(expected)}")


def selecting_offers_primary(s):
    s.open(NAME, TEXT, wrap="none")
    s.x.key("shift+End")
    expected = "café € first line".encode()
    if not wait_until(lambda: s.x.selection("primary") == expected, ANSWER_TIMEOUT):
        raise Failure(f"after Shift+End, xclip -o -selection primary reads "
                      f"{shown(s.x.selection('primary'))} instead of {shown(expected)}")


def middle_click_pastes_primary(s):
    window = s.open(NAME, TEXT, wrap="none")
    s.x.set_selection("primary", "—from elsewhere".encode())
    x, y = places.text_line(s.x.geometry(window), 1)
    s.x.click(x + 300, y, button=2)  # right of the second line's end: pasted at its end
    s.x.key("ctrl+s")
    what = "a middle click right of the second line and Ctrl+S"
    s.changed_file(NAME, TEXT, what)
    s.expect_bytes(NAME, b"caf\xe9 \x80 first line\nsecond\x97from elsewhere\n", what)


run({"copy-xclip": copy_to_clipboard, "primary-out": selecting_offers_primary,
     "primary-in": middle_click_pastes_primary})
