"""A binary file merged into a document uuencoded (File > Merge, transform UUEncode), the document
saved, then File > UUDecode: the decode dialog's Save and the "Save Decoded File" dialog put the file
in another directory, byte for byte, and the report says both checksums were right."""

import os

from harness import ANSWER_TIMEOUT, WRAP_MODES, Failure, run, wait_until

MERGE_DIALOG = "Merge File"
DECODE_DIALOG = "UUDecode File"
SAVE_DIALOG = "Save Decoded File"
DATA = bytes((i * 7919 + i // 3) % 256 for i in range(20000))


def dialog(s, title, what):
    """The dialog, active: on a loaded machine a key typed the moment it shows can still go elsewhere."""
    window = s.dialog(title, what)
    s.x.activate(window)
    return window


def gone(s, title, what):
    if not wait_until(lambda: not s.x.windows(title), ANSWER_TIMEOUT):
        raise Failure(f"the '{title}' dialog stayed open after {what}{s.state()}")


def encode_save_decode(s):
    s.write("data.bin", DATA)
    log = os.path.join(s.workdir, "messages.log")
    s.write("letter.txt", b"Here is the file.\n")
    s.start("letter.txt", extra_env={"QUORVEL_MESSAGE_LOG": log})
    s.x.activate(s.main_window("letter.txt"))
    s.x.key(*["F8"] * WRAP_MODES.index("none"))
    s.x.key("ctrl+m")
    dialog(s, MERGE_DIALOG, "Ctrl+M")
    s.x.key("alt+u", "space")  # the UUEncode transform
    s.x.key("alt+n")  # the file name, which the text files' filter does not show
    s.x.type(s.path("data.bin"))
    s.x.key("Return")
    gone(s, MERGE_DIALOG, "choosing data.bin with UUEncode")
    s.x.key("ctrl+s")
    saved = s.changed_file("letter.txt", b"Here is the file.\n", "merging data.bin and Ctrl+S")
    if b"begin 644 data.bin\n" not in saved or not saved.endswith(b"Here is the file.\n"):
        raise Failure(f"letter.txt does not hold data.bin encoded before its text: {saved[:80]!r}")

    os.makedirs(s.path("decoded"))
    target = s.path(os.path.join("decoded", "copy.bin"))
    s.x.key("ctrl+u")
    dialog(s, DECODE_DIALOG, "File > UUDecode (Ctrl+U)")
    s.x.key("alt+s")  # Save
    dialog(s, SAVE_DIALOG, "Save in the decode dialog")
    s.x.type(target)
    s.x.key("Return")
    gone(s, SAVE_DIALOG, "Return on a name")
    box = s.message_box("reporting the decode")
    expected = f"Successful Decode of {target} - file and section checksums OK"
    with open(log, encoding="utf-8") as shown:
        told = shown.read().splitlines()
    if told != [expected]:
        raise Failure(f"the decode reported {told} instead of {[expected]}")
    if not s.answer(box, ("OK",), "Return"):
        raise Failure(f"the decode's report stayed open after Return{s.state()}")
    if not wait_until(lambda: s.read(os.path.join("decoded", "copy.bin")) == DATA, ANSWER_TIMEOUT):
        raise Failure(f"decoded/copy.bin holds {len(s.read(os.path.join('decoded', 'copy.bin')) or b'')} "
                      f"bytes, not the {len(DATA)} bytes of data.bin")


run({"encode-save-decode": encode_save_decode})
