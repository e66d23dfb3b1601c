"""Replace All from the Replace dialog: every match changes, the report of how many is answered, and
the saved file holds the result."""

from harness import Failure, run

NAME = "pets.txt"
TEXT = b"cat and dog\nno match here\ncat cat\n"


def replace_all(s):
    s.open(NAME, TEXT, wrap="none")
    s.replace_dialog("cat", "lion")
    s.x.key("alt+a")  # Replace All
    box = s.message_box('reporting "3 items replaced"')
    if not s.answer(box, ("OK",), "click OK"):
        raise Failure(f'the report "3 items replaced" stayed open after a click on OK{s.state()}')
    s.close_replace_dialog()
    s.x.key("ctrl+s")
    s.changed_file(NAME, TEXT, "Replace All and Ctrl+S")
    s.expect_bytes(NAME, b"lion and dog\nno match here\nlion lion\n", "Replace All of cat by lion and Ctrl+S")


run({"replace-all": replace_all})
