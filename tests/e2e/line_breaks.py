"""Enter writes the document's own line break: an LF file stays LF, a CR LF file stays CR LF."""

from harness import run


def enter_in(kind, eol):
    name = kind.replace(" ", "").lower() + ".txt"
    text = b"one" + eol + b"two" + eol

    def case(s):
        s.open(name, text, wrap="none")
        s.x.key("End", "Return")
        s.x.type("new")
        s.x.key("ctrl+s")
        s.changed_file(name, text, "End, Enter, typing and Ctrl+S")
        s.expect_bytes(name, b"one" + eol + b"new" + eol + b"two" + eol,
                       f"Enter in an {kind} file and Ctrl+S")

    return case


run({"lf": enter_in("LF", b"\n"), "crlf": enter_in("CR LF", b"\r\n")})
