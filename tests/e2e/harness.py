"""End-to-end scenarios: the built program on a real (virtual) X display, driven as a user drives it.

Each scenario script takes the program's path and, where it holds several cases, a case name:
`python3 tests/e2e/save_wrap_modes.py build/quorvel window-enter`. CTest runs them all
(`ctest --test-dir build -R '^e2e_' -j2`). A case gets a temporary directory with a private home, its own
Xvfb (a free display number through -displayfd) and openbox, and starts the program there with a fixed
style and locale. Input goes through xdotool as real key and pointer events; every wait polls for a
condition (a window with a given title, a file's bytes, the program's exit) until a timeout, and the
checks read the files on disk. Clicks on buttons are computed from a window's geometry in places.py,
the one home of such measurements. A failing case prints what went wrong, the windows then shown, a
screenshot and the program's output, all kept in its directory; a passing case removes its directory.
Exit status 77 (skipped) means Xvfb, openbox, xdotool or ImageMagick's import is not installed.
"""

import contextlib
import os
import shutil
import subprocess
import sys
import tempfile
import time
import traceback

import places
from xsession import XSession, missing_tools, stop

SKIPPED = 77
START_TIMEOUT = 30  # the program shows its window (generous: the suite runs on a loaded machine)
ANSWER_TIMEOUT = 5  # a box appears or goes after a key or click, a save reaches the disk
EXIT_TIMEOUT = 5  # the program ends after its last window closed

# A first start does not wrap (the settings' default); F8 goes round the modes in this order.
WRAP_MODES = ("none", "window", "chars", "printer")
MESSAGE_BOX = "Quorvel"  # the title of every message box; the main window's is "Quorvel - " + name
REPLACE_DIALOG = "Replace"


class Failure(Exception):
    """A check that did not hold; its text says what a user would have seen."""


def wait_until(condition, timeout, interval=0.05):
    """Polls `condition` until it gives something true, and returns that; None after `timeout` s."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() >= deadline:
            return None
        time.sleep(interval)


def program_environment(workdir):
    """A fixed, private environment: the user's settings and desktop never reach the program."""
    env = {"PATH": os.environ.get("PATH", "/usr/bin:/bin"), "LANG": "C.UTF-8", "LC_ALL": "C.UTF-8",
           "QT_QPA_PLATFORM": "xcb", "QT_STYLE_OVERRIDE": "Fusion"}
    for name, folder in (("HOME", "home"), ("XDG_CONFIG_HOME", "home/.config"),
                         ("XDG_DATA_HOME", "home/.local/share"), ("XDG_CACHE_HOME", "home/.cache"),
                         ("XDG_RUNTIME_DIR", "runtime"), ("TMPDIR", "tmp")):
        env[name] = os.path.join(workdir, folder)
        os.makedirs(env[name], mode=0o700, exist_ok=True)
    for name, value in os.environ.items():  # a sanitized build keeps its options
        if name.startswith(("ASAN_", "UBSAN_", "LSAN_")):
            env[name] = value
    return env


class Session:
    """One case's display, files and program."""

    def __init__(self, program, workdir):
        self.program = os.path.abspath(program)
        self.workdir = workdir
        self.files = os.path.join(workdir, "files")
        os.makedirs(self.files)
        self.x = XSession(workdir, program_environment(workdir))
        self.process = None
        self.processes = []  # every program started, the latest being self.process
        self.log = None

    def close(self):
        for process in self.processes:
            stop(process, grace=0.5)
        if self.log:
            self.log.close()
        self.x.close()

    # Files --------------------------------------------------------------------------------------------

    def path(self, name):
        return os.path.join(self.files, name)

    def write(self, name, data):
        with open(self.path(name), "wb") as file:
            file.write(data)
        return self.path(name)

    def read(self, name):
        try:
            with open(self.path(name), "rb") as file:
                return file.read()
        except FileNotFoundError:
            return None

    # The program ----------------------------------------------------------------------------------------

    def start(self, *files, extra_env=None, stdout=None):
        """Starts the program on `files` (names in the files folder) in that folder."""
        if self.log is None:
            self.log = open(os.path.join(self.workdir, "quorvel.log"), "ab")
        env = dict(self.x.env, **(extra_env or {}))
        self.process = subprocess.Popen([self.program, *files], cwd=self.files, env=env,
                                        stdin=subprocess.DEVNULL, stdout=stdout or self.log,
                                        stderr=self.log)
        self.processes.append(self.process)
        return self.process

    @contextlib.contextmanager
    def clipboard_owner(self, text):
        """Another program that holds `text` on the clipboard while the block runs."""
        program = os.path.join(os.path.dirname(self.program), "qv_clipboard_owner")
        owner = subprocess.Popen([program, text], env=self.x.env, stdout=subprocess.PIPE,
                                 stderr=subprocess.DEVNULL)
        try:
            if owner.stdout.readline().strip() != b"ready":
                raise Failure("the other program could not put its text on the clipboard")
            yield
        finally:
            owner.terminate()
            owner.wait()

    # Settings -------------------------------------------------------------------------------------------

    def settings_path(self):
        return os.path.join(self.x.env["XDG_CONFIG_HOME"], "Tarvane Software", "Quorvel", "Version1.0.ini")

    def write_settings(self, text):
        """Gives the program a settings store to start with."""
        os.makedirs(os.path.dirname(self.settings_path()), exist_ok=True)
        with open(self.settings_path(), "w") as file:
            file.write(text)

    def settings(self):
        """The store as the program left it: {section: {name: value}}, names as written."""
        sections, section = {}, None
        try:
            with open(self.settings_path(), "rb") as file:
                lines = file.read().decode(errors="replace").splitlines()
        except FileNotFoundError:
            return sections
        for line in lines:
            if line.startswith("["):
                section = sections.setdefault(line.strip("[]"), {})
            elif "=" in line and section is not None:
                name, value = line.split("=", 1)
                section[name] = value
        return sections

    def main_windows(self):
        return self.x.windows(r"Quorvel - .*")

    def exit_program(self, window):
        """File > Exit (Alt+X) in `window`; waits for the program to end."""
        self.x.activate(window)
        self.x.key("alt+x")
        if not self.exited(EXIT_TIMEOUT):
            raise Failure(f"the program still runs {EXIT_TIMEOUT} s after File > Exit{self.state()}")

    def open(self, name, data, wrap="window"):
        """Writes `data` to `name`, starts the program on it, and sets the wrap mode; the main window."""
        self.write(name, data)
        self.start(name)
        window = self.main_window(name)
        self.x.activate(window)
        self.x.key(*["F8"] * WRAP_MODES.index(wrap))
        return window

    def main_window(self, name, timeout=START_TIMEOUT, modified=None):
        """The window showing `name`; with `modified` True or False only while its title says so."""
        marks = {None: "( \\*)?", True: " \\*", False: ""}[modified]
        title = "Quorvel - " + "".join("\\" + c if c in ".$^*+?()[]{}|\\" else c for c in name) + marks
        window = wait_until(lambda: self.x.windows(title), timeout)
        if not window:
            raise Failure(f"no window titled 'Quorvel - {name}' within {timeout} s{self.state()}")
        return window[0]

    def exited(self, timeout):
        return wait_until(lambda: self.process.poll() is not None, timeout)

    def state(self):
        """What is on the screen besides the main window, for failure messages: '; ...' or ''."""
        notes = []
        if self.process and self.process.poll() is not None:
            notes.append(f"program ended with status {self.process.returncode}")
        elif self.x.windows(MESSAGE_BOX):
            notes.append("message box still open")
        return "".join("; " + note for note in notes)

    def replace_dialog(self, find, replace):
        """Search > Replace..., with the texts to find and to put in their place typed in."""
        self.x.key("alt+s", "r")
        self.dialog(REPLACE_DIALOG, "Search > Replace...")
        # The focus is in "Find what", its text selected: typing replaces it.
        self.x.type(find)
        self.x.key("Tab")
        self.x.type(replace)

    def close_replace_dialog(self):
        self.x.key("Escape")  # its Cancel
        if not wait_until(lambda: not self.x.windows(REPLACE_DIALOG), ANSWER_TIMEOUT):
            raise Failure(f"the '{REPLACE_DIALOG}' dialog stayed open after Esc{self.state()}")

    def dialog(self, title, what, timeout=ANSWER_TIMEOUT):
        """Waits for a window titled `title` (a regular expression) that `what` opens, and returns it."""
        found = wait_until(lambda: self.x.windows(title), timeout)
        if not found:
            raise Failure(f"{what} showed no '{title}' window within {timeout} s{self.state()}")
        return found[0]

    def shot(self, name):
        """With QUORVEL_E2E_SCREENSHOTS naming a folder, the screen as it is now goes there as NAME.png."""
        folder = os.environ.get("QUORVEL_E2E_SCREENSHOTS")
        if folder:
            os.makedirs(folder, exist_ok=True)
            self.x.screenshot(os.path.join(folder, name + ".png"))

    # Message boxes ----------------------------------------------------------------------------------------

    def message_box(self, what, timeout=ANSWER_TIMEOUT):
        """Waits for a message box; `what` names its message in the failure message."""
        box = wait_until(lambda: self.x.windows(MESSAGE_BOX), timeout)
        if not box:
            raise Failure(f"no message box {what} within {timeout} s{self.state()}")
        return box[0]

    def answer(self, box, buttons, how):
        """Answers the box showing `buttons` by a key ("Return", "y") or a click ("click No"); whether
        the box then went."""
        if how.startswith("click "):
            self.x.click(*places.message_box_button(self.x.geometry(box), buttons, how[len("click "):]))
        else:
            self.x.key(how)
        return wait_until(lambda: box not in self.x.windows(MESSAGE_BOX), ANSWER_TIMEOUT)

    # Checks ---------------------------------------------------------------------------------------------

    def changed_file(self, name, before, what, timeout=ANSWER_TIMEOUT):
        """Waits until `name` holds other bytes than `before`, and returns them."""
        def changed():
            data = self.read(name)
            return (data,) if data is not None and data != before else None

        after = wait_until(changed, timeout)
        if after is None:
            raise Failure(f"{name} unchanged {timeout} s after {what}{self.state()}")
        return after[0]

    def expect_bytes(self, name, expected, what):
        actual = self.read(name)
        if actual != expected:
            raise Failure(f"after {what}, {name} holds {shown(actual)} instead of {shown(expected)}")


def described(how):
    """An answer of Session.answer in words: "a click on No", "pressing Return"."""
    if how.startswith("click "):
        return f"a click on {how[len('click '):]}"
    return f"pressing {how.upper() if len(how) == 1 else how}"


def shown(data, limit=120):
    if data is None:
        return "nothing (no such file)"
    text = repr(data[:limit]) + ("..." if len(data) > limit else "")
    return f"{text} ({len(data)} bytes)"


def report(session, workdir, problem):
    print("FAILED: " + problem)
    if session:
        print("windows shown: " + ", ".join(repr(title) for title in session.x.titles()))
        screenshot = os.path.join(workdir, "failure.png")
        try:
            session.x.screenshot(screenshot)
            print("screenshot: " + screenshot)
        except (RuntimeError, subprocess.SubprocessError) as error:
            print(f"no screenshot: {error}")
    log = os.path.join(workdir, "quorvel.log")
    if os.path.exists(log) and os.path.getsize(log):
        with open(log, "rb") as file:
            print("program output (last lines):\n" + file.read()[-2000:].decode(errors="replace"))
    print("files kept in " + workdir)


def run(cases):
    """Runs the case named on the command line (it may be left out where there is only one) and exits
    with its verdict: 0 passed, 1 failed, 77 skipped."""
    name = sys.argv[2] if len(sys.argv) > 2 else next(iter(cases)) if len(cases) == 1 else None
    if len(sys.argv) < 2 or name not in cases:
        sys.exit(f"usage: {sys.argv[0]} PROGRAM {'|'.join(cases)}")
    missing = missing_tools()
    if missing:
        print("SKIPPED: not installed: " + ", ".join(missing))
        sys.exit(SKIPPED)
    workdir = tempfile.mkdtemp(prefix=f"quorvel-e2e-{name}-")
    session = None
    try:
        session = Session(sys.argv[1], workdir)
        cases[name](session)
    except Failure as failure:
        report(session, workdir, str(failure))
        sys.exit(1)
    except Exception:  # a fault of the harness or the machine fails the case too, with its evidence
        report(session, workdir, traceback.format_exc())
        sys.exit(1)
    finally:
        if session:
            session.close()
    shutil.rmtree(workdir, ignore_errors=True)
    print("passed")
