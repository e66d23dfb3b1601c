"""File > Exit (Alt+X) with a changed page asks "<name> has changed. Save File?": a click on Yes saves
and ends the program, a click on No ends it and leaves the file as it was."""

from harness import ANSWER_TIMEOUT, EXIT_TIMEOUT, Failure, described, run

NAME = "note.txt"
TEXT = b"abc\n"
BUTTONS = ("Yes", "No", "Cancel")


def exit_answered(answer, expected):
    def case(s):
        s.open(NAME, TEXT, wrap="none")
        s.x.type("X")
        s.x.key("alt+x")
        box = s.message_box(f'asking "{NAME} has changed. Save File?" after File > Exit')
        if not s.answer(box, BUTTONS, answer):
            raise Failure(f'"{NAME} has changed. Save File?" still open {ANSWER_TIMEOUT} s after '
                          f"{described(answer)}{s.state()}")
        if not s.exited(EXIT_TIMEOUT):
            raise Failure(f"the program still runs {EXIT_TIMEOUT} s after {described(answer)} to the "
                          f"question on File > Exit{s.state()}")
        if s.process.returncode != 0:
            raise Failure(f"the program ended with status {s.process.returncode} after File > Exit")
        s.expect_bytes(NAME, expected, f"File > Exit and {described(answer)}")

    return case


run({"yes": exit_answered("click Yes", b"X" + TEXT), "no": exit_answered("click No", TEXT)})
