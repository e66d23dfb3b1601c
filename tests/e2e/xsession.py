"""A private X display for one scenario: Xvfb on a free display number, openbox managing its windows,
and the user's keyboard and pointer on it through xdotool (XTEST: real events, as a user makes them)."""

import os
import re
import shutil
import subprocess
import time

from places import Rect

TOOLS = ("Xvfb", "openbox", "xdotool", "xwininfo", "xprop", "import", "xmodmap", "xclip")


def missing_tools():
    return [tool for tool in TOOLS if shutil.which(tool) is None]


def stop(process, grace=2.0):
    """Ends a process this session started: politely, then for sure."""
    if process is None or process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


class XSession:
    def __init__(self, workdir, env):
        self.workdir = workdir
        self.env = dict(env)
        self.server = None
        self.manager = None
        try:
            self.start_server()
            self.start_manager()
        except BaseException:
            self.close()
            raise

    def start_server(self):
        read_end, write_end = os.pipe()
        try:
            with open(os.path.join(self.workdir, "xvfb.log"), "wb") as log:
                self.server = subprocess.Popen(
                    ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-dpi", "96",
                     "-nolisten", "tcp", "-noreset"],
                    pass_fds=[write_end], stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        finally:
            os.close(write_end)
        with os.fdopen(read_end, "rb") as numbers:
            number = numbers.readline().strip()  # written once the server accepts clients
        if not number:
            raise RuntimeError("Xvfb did not start; see xvfb.log in " + self.workdir)
        self.env["DISPLAY"] = ":" + number.decode()

    def start_manager(self):
        with open(os.path.join(self.workdir, "openbox.log"), "wb") as log:
            self.manager = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                            stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=log)
        deadline = time.monotonic() + 10
        # A window manager announces itself on the root window; windows mapped before that go unmanaged.
        while "window id" not in self.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False):
            if time.monotonic() > deadline or self.manager.poll() is not None:
                raise RuntimeError("openbox did not start; see openbox.log in " + self.workdir)
            time.sleep(0.05)

    def close(self):
        stop(self.manager)
        stop(self.server)

    def run(self, *command, check=True):
        result = subprocess.run(command, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=20)
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(command)} failed: {result.stderr.decode(errors='replace')}")
        return result.stdout.decode(errors="replace")

    # Windows ------------------------------------------------------------------------------------------

    def windows(self, title):
        """Shown windows whose whole title is `title` (a regular expression)."""
        found = self.run("xdotool", "search", "--onlyvisible", "--name", f"^({title})$", check=False)
        return [int(line) for line in found.split()]

    def titles(self):
        """The titles of every shown window that has one, for failure reports."""
        names = []
        for window in self.windows(".+"):
            name = self.run("xdotool", "getwindowname", str(window), check=False).strip()
            if name:
                names.append(name)
        return names

    def geometry(self, window):
        """The window's inside (without the frame openbox draws), in screen pixels."""
        info = self.run("xwininfo", "-id", str(window))
        value = {key: int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                 for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")}
        return Rect(value["Absolute upper-left X"], value["Absolute upper-left Y"], value["Width"],
                    value["Height"])

    def activate(self, window):
        self.run("xdotool", "windowactivate", "--sync", str(window))

    # Keyboard and pointer -----------------------------------------------------------------------------

    def add_keys(self, *keysyms):
        """Gives each keysym a key of its own, as a keyboard with such keys has. Call it before the
        program starts: xdotool then types these characters with their own keys, instead of mapping
        a spare key to each for a moment, which a program busy elsewhere may read too late."""
        keymap = self.run("xmodmap", "-pke")
        free = [int(code) for code in re.findall(r"^keycode\s+(\d+) =\s*$", keymap, re.M)]
        if len(free) < len(keysyms):
            raise RuntimeError(f"only {len(free)} free key codes for {len(keysyms)} characters")
        for code, keysym in zip(reversed(free), keysyms):
            self.run("xmodmap", "-e", f"keycode {code} = {keysym}")

    def key(self, *keys):
        """Presses keys in turn, each as xdotool names it: "ctrl+s", "Return", "F8"."""
        if keys:
            self.run("xdotool", "key", "--delay", "30", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "15", text)

    def click(self, x, y, count=1, button=1):
        self.run("xdotool", "mousemove", "--sync", str(x), str(y), "click", "--repeat", str(count),
                 "--delay", "80", str(button))

    def selection(self, name):
        """What the X selection `name` ("clipboard", "primary") holds, as bytes; None when nothing."""
        result = subprocess.run(["xclip", "-o", "-selection", name], env=self.env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=20)
        return result.stdout if result.returncode == 0 else None

    def set_selection(self, name, data):
        """Makes another program (xclip, which stays to serve it) own the X selection `name`."""
        subprocess.run(["xclip", "-i", "-selection", name], env=self.env, input=data,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=20, check=True)

    def drag(self, start, end):
        """Presses the left button at `start`, moves to `end` in steps, and releases it there."""
        steps = []
        for i in range(1, 5):
            x = start[0] + (end[0] - start[0]) * i // 4
            y = start[1] + (end[1] - start[1]) * i // 4
            steps += ["mousemove", str(x), str(y), "sleep", "0.05"]
        self.run("xdotool", "mousemove", "--sync", str(start[0]), str(start[1]), "mousedown", "1",
                 "sleep", "0.05", *steps, "mouseup", "1")

    # Pixels -------------------------------------------------------------------------------------------

    def grab(self, rect):
        """The screen's pixels inside `rect`, as raw RGB bytes."""
        result = subprocess.run(["import", "-window", "root", "-crop", rect.crop_geometry(), "rgb:-"],
                                env=self.env, capture_output=True, timeout=20, check=True)
        return result.stdout

    def screenshot(self, path):
        self.run("import", "-window", "root", path)
