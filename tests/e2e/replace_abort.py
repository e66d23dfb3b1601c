"""Esc during a long Replace All asks "Abandon Operation?": Yes stops it with only part of the matches
replaced, No lets it go on to the end. Either way the report is answered and the file saved."""

import places
from harness import ANSWER_TIMEOUT, Failure, described, run, wait_until

NAME = "many.txt"
LINE = b"the quick brown fox jumps over the lazy dog, then the fox rests\n"
TEXT = LINE * (20_000_000 // len(LINE))  # 20 MB, 600 000 matches: a second or two of work
MATCHES = TEXT.count(b"fox")
LONG_TIMEOUT = 30  # the whole Replace All, or saving the 20 MB


def abandon(answer, stops):
    def case(s):
        window = s.open(NAME, TEXT, wrap="none")
        s.replace_dialog("fox", "cat")
        panel = places.status_panel(s.x.geometry(window))
        idle = s.x.grab(panel)
        s.x.key("alt+a")  # Replace All
        if not wait_until(lambda: s.x.grab(panel) != idle, ANSWER_TIMEOUT, interval=0.02):
            raise Failure(f'Replace All showed no "ESC to Cancel" in the status bar{s.state()}')
        s.x.key("Escape")
        box = s.message_box('asking "Abandon Operation?" after Esc')
        if not s.answer(box, ("Yes", "No"), answer):
            raise Failure(f'"Abandon Operation?" still open {ANSWER_TIMEOUT} s after {described(answer)}'
                          f"{s.state()}")
        report = s.message_box('reporting "%d items replaced"', LONG_TIMEOUT)
        if not s.answer(report, ("OK",), "Return"):
            raise Failure(f'the report of the replaced items stayed open after Enter{s.state()}')
        s.close_replace_dialog()
        s.x.key("ctrl+s")
        saved = s.changed_file(NAME, TEXT, f"Replace All, Esc, {described(answer)} and Ctrl+S", LONG_TIMEOUT)
        replaced = saved.count(b"cat")
        if stops and not 0 < replaced < MATCHES:
            raise Failure(f"Yes to \"Abandon Operation?\" should stop Replace All part way, but {replaced} "
                          f"of {MATCHES} matches were replaced")
        if not stops and replaced != MATCHES:
            raise Failure(f"No to \"Abandon Operation?\" should let Replace All finish, but {replaced} "
                          f"of {MATCHES} matches were replaced")
        if saved.replace(b"cat", b"fox") != TEXT:
            raise Failure(f"{NAME} holds more changes than the replaced matches")

    return case


run({"yes": abandon("click Yes", stops=True), "no": abandon("click No", stops=False)})
