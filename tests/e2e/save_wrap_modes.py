"""Typing and saving with Ctrl+S in each wrap mode. Where the text wraps, the save asks whether the
soft line breaks become hard ones; the question is answered by Enter, by a key and by a click."""

from harness import ANSWER_TIMEOUT, Failure, described, run

QUESTION = "Convert soft Line Breaks to hard Line Breaks?"
NAME = "words.txt"
# One line that wraps in every wrapping mode: wider than the window and than 76 characters.
LINE = b" ".join(b"word%02d" % i for i in range(40)) + b"\n"
TYPED = b"X "


def save_in(wrap, how=None, yes=None):
    def case(s):
        s.open(NAME, LINE, wrap)
        s.x.type(TYPED.decode())
        s.x.key("ctrl+s")
        if how:
            box = s.message_box(f'asking "{QUESTION}"')
            if not s.answer(box, ("Yes", "No"), how):
                unchanged = "; " + NAME + " unchanged" if s.read(NAME) == LINE else ""
                raise Failure(f'"{QUESTION}" still open {ANSWER_TIMEOUT} s after {described(how)}'
                              f" (wrap mode {wrap}){unchanged}")
        saved = s.changed_file(NAME, LINE, f"Ctrl+S (wrap mode {wrap})")
        typed = TYPED + LINE
        if not yes:
            s.expect_bytes(NAME, typed, f"Ctrl+S (wrap mode {wrap}, soft breaks kept)")
        elif saved.split() != typed.split() or saved.count(b"\n") < 2:
            raise Failure(f"after Yes to the question (wrap mode {wrap}) {NAME} should hold the typed text "
                          f"with hard line breaks where it wrapped, but holds {saved!r}")
        elif b"\r" in saved:  # the breaks made, and the one that was there, are the file's own kind
            raise Failure(f"after Yes to the question (wrap mode {wrap}) {NAME}, an LF file, holds CR LF "
                          f"line breaks: {saved!r}")

    return case


run({
    "none": save_in("none"),
    "window-enter": save_in("window", "Return", yes=True),
    "chars-key-y": save_in("chars", "y", yes=True),
    "printer-key-n": save_in("printer", "n", yes=False),
    "window-click-no": save_in("window", "click No", yes=False),
    "chars-click-yes": save_in("chars", "click Yes", yes=True),
})
