"""A triple click selects the line under the pointer, or, with the setting "TripleClick" on (as a first
start has it), the paragraph with its line break: a key typed then replaces what was selected."""

import places
from harness import run

NAME = "three.txt"
TEXT = b"alpha beta\nsecond line here\nthird\n"


def triple_click(triple_click_setting, expected):
    def case(s):
        if triple_click_setting is not None:
            s.write_settings(f"[Editor]\nTripleClick={triple_click_setting}\n")
        window = s.open(NAME, TEXT, wrap="none")
        s.x.click(*places.text_line(s.x.geometry(window), 1), count=3)
        s.x.type("Z")
        s.x.key("ctrl+s")
        what = "a triple click on the second line, Z and Ctrl+S"
        s.changed_file(NAME, TEXT, what)
        s.expect_bytes(NAME, expected, what)
    return case


run({"select-line": triple_click(0, b"alpha beta\nZ\nthird\n"),
     "select-paragraph": triple_click(None, b"alpha beta\nZthird\n")})
