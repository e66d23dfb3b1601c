"""Quoting through the real window. Paste Quote (F6) pastes text that another program put on the
clipboard as quoted lines before the caret's line. Reformat Quoted Text (Ctrl+F5) shows its dialog
with the quote found at the caret; a new quote typed there and the question that follows answered,
the paragraphs are joined and broken again at 76 characters under the new quote."""

from harness import ANSWER_TIMEOUT, Failure, described, run, wait_until

REFORMAT_DIALOG = "Reformat Quoted Text"


def paste_quote(s):
    with s.clipboard_owner("Hello from elsewhere\nsecond line"):
        s.open("reply.txt", b"My answer.\n", wrap="none")
        s.x.key("F6")
        s.x.key("ctrl+s")
        s.changed_file("reply.txt", b"My answer.\n", "F6 (Paste Quote) and Ctrl+S")
        s.expect_bytes("reply.txt", b">Hello from elsewhere\n>second line\nMy answer.\n",
                       "Paste Quote of the other program's text")


QUOTED = (b"John> The meeting moved to Thursday because the printer room is booked.\r\n"
          b"John> Bring the drafts.\r\n"
          b"John>\r\n"
          b"John> Regards\r\n")
REFORMATTED = (b">  The meeting moved to Thursday because the printer room is booked.  Bring \r\n"
               b"> the drafts.\r\n"
               b"> \r\n"
               b">  Regards\r\n")


def reformat(s):
    s.open("quoted.txt", QUOTED, wrap="chars")
    s.x.key("ctrl+F5")
    if not wait_until(lambda: s.x.windows(REFORMAT_DIALOG), ANSWER_TIMEOUT):
        raise Failure(f"Ctrl+F5 showed no '{REFORMAT_DIALOG}' dialog{s.state()}")
    s.x.key("alt+r", "ctrl+a")  # "Replace with", its text selected
    s.x.type("> ")
    s.x.key("Return")
    box = s.message_box('asking "Reformat text from this point onwards?"')
    if not s.answer(box, ("Yes", "No"), "y"):
        raise Failure(f'the question stayed open after {described("y")}{s.state()}')
    s.x.key("ctrl+s")
    box = s.message_box("asking whether to turn soft line breaks into hard ones")
    s.answer(box, ("Yes", "No"), "n")
    s.changed_file("quoted.txt", QUOTED, "Reformat Quoted Text and Ctrl+S")
    s.expect_bytes("quoted.txt", REFORMATTED, 'Reformat Quoted Text from "John>" to "> " at 76 characters')


run({"paste-quote": paste_quote, "reformat": reformat})
