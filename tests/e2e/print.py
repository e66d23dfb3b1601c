"""File > Print through the real print dialog: Ctrl+P, the dialog's PDF printer with its output file,
Return to print. The PDF is read back with pdftotext: one sheet per page, each headed by the file's
name and numbered, the text in order and cut at the printer's width when the user asks for it."""

import os
import subprocess

from harness import ANSWER_TIMEOUT, Failure, run, wait_until

DIALOG = "Print"
NAME = "doc.txt"
SECTIONS = (b"one\nfirst page\n", b"two\nsecond page\n", b"three\nthird page\n")
WORDS = b" ".join(b"w%04d" % i for i in range(400))  # one line of 2 400 characters


def pdf_pages(path):
    """The pages of the PDF as pdftotext -layout reads them, each as its lines with text."""
    text = subprocess.run(["pdftotext", "-layout", path, "-"], check=True, capture_output=True).stdout
    pages = text.decode().split("\f")[:-1]
    return [[line.strip() for line in page.splitlines() if line.strip()] for page in pages]


def print_with_dialog(s, name):
    """Ctrl+P and Return in the dialog: the PDF printer's output file, in the home folder."""
    s.x.key("ctrl+p")
    if not wait_until(lambda: s.x.windows(DIALOG), ANSWER_TIMEOUT):
        raise Failure(f"Ctrl+P showed no '{DIALOG}' dialog{s.state()}")
    s.x.key("Return")
    if not wait_until(lambda: not s.x.windows(DIALOG), ANSWER_TIMEOUT):
        raise Failure(f"the '{DIALOG}' dialog stayed open after Return{s.state()}")
    return os.path.join(s.x.env["HOME"], "print.pdf")


def printed(s, pdf, what):
    def finished():  # the job ends the file with its trailer
        try:
            with open(pdf, "rb") as file:
                return file.read().rstrip().endswith(b"%%EOF")
        except FileNotFoundError:
            return False

    if not wait_until(finished, ANSWER_TIMEOUT):
        raise Failure(f"no PDF at {pdf} after {what}{s.state()}")
    pages = pdf_pages(pdf)
    header = s.path(NAME)
    for number, lines in enumerate(pages, 1):
        if len(lines) < 2 or lines[0] != header or lines[-1] != f"Page {number}":
            raise Failure(f"page {number} should start with {header!r} and end with 'Page {number}': {lines}")
    return [lines[1:-1] for lines in pages]


def pages_at_form_feeds(s):
    s.open(NAME, b"\f".join(SECTIONS), wrap="printer")
    bodies = printed(s, print_with_dialog(s, NAME), "Ctrl+P and Return")
    expected = [section.decode().split("\n")[:2] for section in SECTIONS]
    if bodies != expected:
        raise Failure(f"the pages hold {bodies} instead of {expected}")


def wrap_to_printer(s):
    s.open(NAME, WORDS + b"\n", wrap="none")
    pdf = print_with_dialog(s, NAME)
    box = s.message_box('asking "Wrap text to printer width?"')
    if not s.answer(box, ("Yes", "No", "Cancel"), "y"):
        raise Failure(f'"Wrap text to printer width?" still open after pressing Y{s.state()}')
    bodies = printed(s, pdf, "Ctrl+P, Return and Y")
    lines = [line for body in bodies for line in body]
    if len(lines) < 10 or max(len(line) for line in lines) > 100:
        raise Failure(f"the long line should be cut at the page's width, but it printed as {lines[:3]}...")
    if " ".join(lines).encode() != WORDS:
        raise Failure("the printed words differ from the text's")


run({"form-feeds": pages_at_form_feeds, "wrap-yes": wrap_to_printer})
