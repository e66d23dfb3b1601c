"""Edit > FlowText (Shift+F5) without a selection asks "Reformat text from this point onwards?": Yes
joins the lines of each paragraph from the caret's line on, No leaves the text as it was."""

from harness import Failure, described, run

TEXT = b"first line\nsecond line\nthird\n\nnext paragraph\nends here"


def flow(answer, expected):
    def case(s):
        s.open("flow.txt", TEXT, wrap="none")
        s.x.key("shift+F5")
        box = s.message_box('asking "Reformat text from this point onwards?" after Shift+F5')
        if not s.answer(box, ("Yes", "No"), answer):
            raise Failure(f"the question stayed open after {described(answer)}{s.state()}")
        s.x.key("ctrl+End")
        s.x.type("!")
        s.x.key("ctrl+s")
        s.changed_file("flow.txt", TEXT, f"Flow Text, {described(answer)}, typing and Ctrl+S")
        s.expect_bytes("flow.txt", expected, f"Flow Text answered with {described(answer)}")

    return case


run({"yes": flow("click Yes", b"first line second line third\n\nnext paragraph ends here!"),
     "no": flow("click No", TEXT + b"!")})
