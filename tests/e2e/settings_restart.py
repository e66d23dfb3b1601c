"""Settings that last: a font and a wrap mode chosen in the window are back after File > Exit and a
new start (the text looks the same to the pixel), and a print-and-exit start prints and leaves the
settings store as it was."""

import subprocess

import places
from harness import ANSWER_TIMEOUT, EXIT_TIMEOUT, Failure, run, wait_until

NAME = "long.txt"
TEXT = b"".join(b"line %02d " % n + b"word " * 30 + b"\n" for n in range(30))


def text_view(s, window):
    """The text's pixels, once two grabs a moment apart agree (the view has settled)."""
    rect = places.text_view(s.x.geometry(window), horizontal_bar=False)
    pixels = [s.x.grab(rect)]

    def settled():
        pixels.append(s.x.grab(rect))
        return pixels[-1] == pixels[-2]

    wait_until(settled, ANSWER_TIMEOUT, interval=0.2)
    return pixels[-1]


def font_and_wrap(s):
    s.write(NAME, TEXT)
    s.start(NAME)
    window = s.main_window(NAME)
    s.x.activate(window)
    before = text_view(s, window)
    s.x.key("alt+t", "f")  # Format > Font...
    if not wait_until(lambda: s.x.windows("Font"), ANSWER_TIMEOUT):
        raise Failure(f"Format > Font... showed no 'Font' dialog{s.state()}")
    s.x.key("alt+s")
    s.x.type("20")
    s.x.key("Return", "F8")  # 20 points; wrap at the window's width
    chosen = text_view(s, window)
    if chosen == before:
        raise Failure("the text looks as before after choosing a 20-point font and window wrapping")
    s.exit_program(window)
    stored = s.settings().get("Editor", {})
    if stored.get("Wrap") != "1" or ",20," not in stored.get("Font", ""):
        raise Failure(f"the store holds Wrap={stored.get('Wrap')!r}, Font={stored.get('Font')!r} after Exit")

    s.start(NAME)
    window = s.main_window(NAME)
    s.x.activate(window)
    again = text_view(s, window)
    if again != chosen:
        differing = sum(1 for a, b in zip(again, chosen) if a != b) // 3 or abs(len(again) - len(chosen))
        raise Failure(f"after a new start the text looks different: {differing} pixels differ from how "
                      f"the 20-point font and window wrapping showed it")


def print_leaves_the_store(s):
    """quorvel -P FILE without a printer of the system's: the text goes to FILE's PDF beside it, after the
    question whether to wrap at the printer's width, and the program ends without touching the store."""
    s.write(NAME, TEXT)
    s.write_settings("[Editor]\nWrap=2\nMaxLineLength=40\n")
    with open(s.settings_path(), "rb") as file:
        stored = file.read()
    process = s.start("-P", NAME)
    box = s.message_box("asking whether to wrap at the printer's width")
    s.answer(box, ("Yes", "No", "Cancel"), "Return")
    if not s.exited(EXIT_TIMEOUT):
        raise Failure(f"quorvel -P still runs {EXIT_TIMEOUT} s after the question{s.state()}")
    if process.returncode != 0:
        raise Failure(f"quorvel -P ended with status {process.returncode}")
    pdf = s.path(NAME).rsplit(".", 1)[0] + ".pdf"
    text = subprocess.run(["pdftotext", "-layout", pdf, "-"], check=True, capture_output=True).stdout
    if b"line 29" not in text or b"Page 1" not in text:
        raise Failure(f"{pdf} does not hold the text and its page numbers: {text[:200]!r}")
    with open(s.settings_path(), "rb") as file:
        if file.read() != stored:
            raise Failure("quorvel -P changed the settings store")


run({"font-and-wrap": font_and_wrap, "print-leaves-settings": print_leaves_the_store})
