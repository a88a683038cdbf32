"""Drives the built calculator from outside, as a user would, on a private
X server: starts Xvfb and the program from a fresh copy of its folder, finds
windows by title and kind, clicks, types, presses keys, reads and sets the
clipboard and takes screenshots. Used by the end-to-end scenarios only.

Every process started here is recorded and ended (by its own id) by
stop_all(), which the suite's entry runs on every way out.
"""

import os
import random
import re
import shutil
import subprocess
import tempfile
import time

DEFAULT_TIMEOUT = 20.0
POLL = 0.05

_children = []


class E2EError(Exception):
    """A step of a scenario could not be done (a window never came, a
    process did not start); ends that scenario as one failure."""


def spawn(args, **kwargs):
    proc = subprocess.Popen(args, **kwargs)
    _children.append(proc)
    return proc


def end_process(proc, grace=3.0):
    """Asks the process to end, then kills it; returns its exit status."""
    if proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(grace)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait(grace)
    return proc.returncode


def stop_all():
    while _children:
        end_process(_children.pop())


def read_log(path):
    """What a program wrote to its log file so far ("" when there is none)."""
    try:
        with open(path, "rb") as f:
            return f.read().decode(errors="replace")
    except OSError:
        return ""


def wait_until(probe, what, timeout=DEFAULT_TIMEOUT):
    """Polls probe() until it gives a true value and returns it; raises
    E2EError naming `what` when the time runs out."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise E2EError(f"timed out after {timeout:g}s waiting for {what}")
        time.sleep(POLL)


def poll_for(probe, want, timeout=3.0):
    """Polls probe() until it returns `want`; returns the last value seen
    (the caller compares it, so a mismatch is reported with what came)."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value == want or time.monotonic() > deadline:
            return value
        time.sleep(POLL)


class XServer:
    """A private Xvfb on a display number of its own: a random free one from
    a high range, so that servers others start on low fixed numbers (":0",
    ":1") never meet it. It does not reset when its last client leaves, so
    a program started again right after the previous one ended can connect."""

    def __init__(self, width=1280, height=1024):
        for _ in range(20):
            number = random.randrange(200, 900)
            if os.path.exists(f"/tmp/.X{number}-lock") or os.path.exists(f"/tmp/.X11-unix/X{number}"):
                continue
            self.display = f":{number}"
            self.env = dict(os.environ, DISPLAY=self.display)
            self.env.pop("WAYLAND_DISPLAY", None)
            self.proc = spawn(["Xvfb", self.display, "-screen", "0", f"{width}x{height}x24",
                               "-nolisten", "tcp", "-noreset"],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                wait_until(lambda: self.proc.poll() is not None or
                           self.run(["xdpyinfo"], check=False).returncode == 0,
                           f"Xvfb on {self.display} to answer")
            except E2EError:
                end_process(self.proc)
                continue
            # A server that found the number taken ends at once; the answer
            # must come from ours.
            time.sleep(0.2)
            if self.proc.poll() is None:
                return
        raise E2EError("could not start Xvfb on a free display")

    def stop(self):
        end_process(self.proc)

    def run(self, args, check=True, timeout=DEFAULT_TIMEOUT, stdin_text=None):
        result = subprocess.run(args, env=self.env, capture_output=True, timeout=timeout,
                                input=stdin_text.encode() if stdin_text is not None else None)
        if check and result.returncode != 0:
            raise E2EError(f"{' '.join(args)} failed: {result.stderr.decode(errors='replace').strip()}")
        return result

    # ---- windows ----

    def search(self, *criteria):
        """Visible windows matching the xdotool search criteria."""
        result = self.run(["xdotool", "search", "--onlyvisible", *criteria], check=False)
        return [int(w) for w in result.stdout.split()]

    def title(self, window):
        result = self.run(["xdotool", "getwindowname", str(window)], check=False)
        return result.stdout.decode(errors="replace").rstrip("\n") if result.returncode == 0 else None

    def kind(self, window):
        """"popup" for an override-redirect window (menus), else the window's
        type: "normal", "dialog", "utility", ... (the last part of
        _NET_WM_WINDOW_TYPE), or "" when it has none."""
        info = self.run(["xwininfo", "-id", str(window)], check=False)
        if re.search(r"Override Redirect State:\s*yes", info.stdout.decode(errors="replace")):
            return "popup"
        result = self.run(["xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE"], check=False)
        # Toolkits may list their own types first (_KDE_NET_WM_...).
        match = re.search(r"(?<![\w])_NET_WM_WINDOW_TYPE_(\w+)", result.stdout.decode(errors="replace"))
        return match.group(1).lower() if match else ""

    def wm_state(self, window):
        result = self.run(["xprop", "-id", str(window), "_NET_WM_STATE"], check=False)
        return result.stdout.decode(errors="replace")

    def geometry(self, window):
        """(left, top, width, height) on the screen, or None when the window
        is gone or not viewable."""
        result = self.run(["xwininfo", "-id", str(window)], check=False)
        if result.returncode != 0:
            return None
        text = result.stdout.decode(errors="replace")
        if "IsViewable" not in text:
            return None
        fields = {}
        for key, name in (("x", "Absolute upper-left X"), ("y", "Absolute upper-left Y"),
                          ("w", "Width"), ("h", "Height")):
            match = re.search(rf"^\s*{name}:\s*(-?\d+)", text, re.M)
            fields[key] = int(match.group(1)) if match else 0
        return fields["x"], fields["y"], fields["w"], fields["h"]

    def windows(self, pid, title=None, kind=None):
        """Visible windows of the process, optionally with exactly this title
        and of this kind."""
        found = []
        for window in self.search("--pid", str(pid)):
            if title is not None and self.title(window) != title:
                continue
            if kind is not None and self.kind(window) != kind:
                continue
            found.append(window)
        return found

    def describe(self, pid):
        """The process's visible windows, for a failure message."""
        return [(w, self.title(w), self.kind(w), self.geometry(w))
                for w in self.search("--pid", str(pid))]

    def wait_window(self, pid, title, kind=None, timeout=DEFAULT_TIMEOUT):
        try:
            return wait_until(lambda: (self.windows(pid, title, kind) or [None])[0],
                              f'a window "{title}"' + (f" ({kind})" if kind else ""), timeout)
        except E2EError as error:
            raise E2EError(f"{error}; windows showing: {self.describe(pid)}") from None

    def wait_no_window(self, pid, title, kind=None, timeout=DEFAULT_TIMEOUT):
        wait_until(lambda: not self.windows(pid, title, kind),
                   f'the window "{title}" to go away', timeout)

    # ---- input ----

    def click(self, window, x, y, button=1):
        """Clicks at (x, y) of the window's own coordinates."""
        self.run(["xdotool", "mousemove", "--window", str(window), str(x), str(y)])
        self.run(["xdotool", "click", str(button)])

    def move_pointer(self, x, y):
        self.run(["xdotool", "mousemove", str(x), str(y)])

    def key(self, *keys):
        self.run(["xdotool", "key", "--delay", "30", *keys])

    def type(self, text):
        self.run(["xdotool", "type", "--delay", "25", "--", text])

    def focus(self, window):
        self.run(["xdotool", "windowfocus", "--sync", str(window)], check=False)

    # ---- clipboard (the CLIPBOARD selection, which Qt's clipboard uses) ----

    def clipboard(self):
        try:
            result = self.run(["xclip", "-o", "-selection", "clipboard"], check=False, timeout=3)
        except subprocess.TimeoutExpired:
            return None
        return result.stdout.decode(errors="replace") if result.returncode == 0 else None

    def set_clipboard(self, text):
        """Owns the clipboard with `text` through an xclip that serves it until
        another program takes the clipboard over (then it ends by itself)."""
        proc = spawn(["xclip", "-quiet", "-selection", "clipboard", "-i"], env=self.env,
                     stdin=subprocess.PIPE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        proc.stdin.write(text.encode())
        proc.stdin.close()
        wait_until(lambda: self.clipboard() == text, f"the clipboard to hold {text!r}", 20)

    # ---- pictures ----

    def screenshot(self):
        """The whole screen as a Picture."""
        result = self.run(["import", "-silent", "-window", "root", "-depth", "8", "ppm:-"], timeout=20)
        return Picture.from_ppm(result.stdout)


class Picture:
    """An RGB picture read from a binary PPM."""

    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def from_ppm(cls, blob):
        tokens, pos = [], 0
        while len(tokens) < 4:
            while blob[pos:pos + 1].isspace():
                pos += 1
            if blob[pos:pos + 1] == b"#":
                pos = blob.index(b"\n", pos) + 1
                continue
            start = pos
            while not blob[pos:pos + 1].isspace():
                pos += 1
            tokens.append(blob[start:pos])
        if tokens[0] != b"P6" or tokens[3] != b"255":
            raise E2EError("the screenshot is not an 8-bit binary PPM")
        width, height = int(tokens[1]), int(tokens[2])
        return cls(width, height, blob[pos + 1:pos + 1 + width * height * 3])

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def crop(self, left, top, width, height):
        rows = []
        for y in range(top, top + height):
            i = (y * self.width + left) * 3
            rows.append(self.data[i:i + width * 3])
        return Picture(width, height, b"".join(rows))

    def box_unlike(self, colour, limit):
        """The bounding box (left, top, width, height) of the pixels within
        (0, 0, *limit) that are not of `colour`, or None when there are none."""
        width, height = limit
        plain = bytes(colour) * width
        left, right, top, bottom = width, -1, None, None
        for y in range(height):
            i = y * self.width * 3
            row = self.data[i:i + width * 3]
            if row == plain:
                continue
            top = y if top is None else top
            bottom = y
            first = len(os.path.commonprefix([row, plain])) // 3
            last = width - 1 - len(os.path.commonprefix([row[::-1], plain[::-1]])) // 3
            left, right = min(left, first), max(right, last)
        if top is None:
            return None
        return left, top, right - left + 1, bottom - top + 1

    def count(self, colour, box=None):
        left, top, width, height = box or (0, 0, self.width, self.height)
        n = 0
        for y in range(top, top + height):
            for x in range(left, left + width):
                if self.pixel(x, y) == colour:
                    n += 1
        return n



class Weston:
    """A Wayland compositor on the private X server: weston with its X11 back
    end in one X window at the screen's top-left corner, its desktop one
    plain colour, no panel and no animations. Input reaches it through the
    X server (xdotool), and screenshots of the X screen show what it shows.
    Programs started with `env` are its Wayland clients."""

    BACKGROUND = (0x20, 0x40, 0x60)

    def __init__(self, xserver, width=900, height=700):
        self.x = xserver
        self.size = (width, height)
        self.runtime = tempfile.mkdtemp(prefix="zumbrel-e2e-wl-")
        os.chmod(self.runtime, 0o700)
        config = os.path.join(self.runtime, "weston.ini")
        with open(config, "w") as f:
            f.write("[core]\nidle-time=0\n[shell]\nbackground-color=0xff%02x%02x%02x\n"
                    "panel-position=none\nlocking=false\nanimation=none\nstartup-animation=none\n"
                    "close-animation=none\nfocus-animation=none\n" % self.BACKGROUND)
        self.socket = "wayland-e2e"
        self.log = os.path.join(self.runtime, "weston.log")
        with open(self.log, "wb") as log:
            self.proc = spawn(["weston", "--backend=x11-backend.so", "--use-pixman",
                               f"--socket={self.socket}", f"--width={width}", f"--height={height}",
                               f"--config={config}"],
                              env=dict(xserver.env, XDG_RUNTIME_DIR=self.runtime),
                              stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        self.env = {"QT_QPA_PLATFORM": "wayland", "WAYLAND_DISPLAY": self.socket,
                    "XDG_RUNTIME_DIR": self.runtime}
        try:
            wait_until(lambda: self.proc.poll() is not None or
                       (os.path.exists(os.path.join(self.runtime, self.socket)) and
                        self.x.screenshot().pixel(width // 2, height // 2) == self.BACKGROUND),
                       "weston's desktop to show", 20)
        except E2EError:
            raise E2EError(f"weston did not come up: {self.output()[-2000:]}") from None
        if self.proc.poll() is not None:
            raise E2EError(f"weston ended at once: {self.output()[-2000:]}")
        self.park_pointer()

    def output(self):
        return read_log(self.log)

    def park_pointer(self):
        """The pointer to the desktop's bottom-right corner, where weston
        draws nothing of it that a screenshot would see inside (0, 0,
        *visible)."""
        self.x.move_pointer(self.size[0] - 1, self.size[1] - 1)

    @property
    def visible(self):
        return self.size[0] - 12, self.size[1] - 12

    def box(self, shot=None):
        """Where the desktop does not show: the clients' windows together."""
        return (shot or self.x.screenshot()).box_unlike(self.BACKGROUND, self.visible)

    def stop(self):
        end_process(self.proc)
        shutil.rmtree(self.runtime, ignore_errors=True)


class Program:
    """The calculator started from a fresh temporary copy of its folder
    (the program, Skins/ and Help.html; zumbrel.ini only when given)."""

    def __init__(self, xserver, bin_dir, ini=None, prepare=None):
        self.x = xserver
        self.folder = tempfile.mkdtemp(prefix="zumbrel-e2e-")
        shutil.copy2(os.path.join(bin_dir, "zumbrel"), self.folder)
        if os.path.isdir(os.path.join(bin_dir, "Skins")):
            shutil.copytree(os.path.join(bin_dir, "Skins"), os.path.join(self.folder, "Skins"))
        if os.path.isfile(os.path.join(bin_dir, "Help.html")):
            shutil.copy2(os.path.join(bin_dir, "Help.html"), self.folder)
        if ini is not None:
            with open(self.ini_path, "w", newline="\r\n") as f:
                f.write(ini)
        if prepare:
            prepare(self.folder)
        self.proc = None
        self.log = os.path.join(self.folder, "zumbrel.log")
        # Qt wants a private runtime folder; it lies outside the program's.
        self.runtime = tempfile.mkdtemp(prefix="zumbrel-e2e-run-")

    @property
    def ini_path(self):
        return os.path.join(self.folder, "zumbrel.ini")

    def path(self, *parts):
        return os.path.join(self.folder, *parts)

    def start(self, extra_env=None):
        """Starts the program on the X server, or with `extra_env` (a
        Wayland compositor's, a scale factor) on top of that."""
        env = dict(self.x.env, QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", LANG="C.UTF-8",
                   XDG_RUNTIME_DIR=self.runtime)
        env.pop("QT_QPA_PLATFORMTHEME", None)
        env.update(extra_env or {})
        with open(self.log, "wb") as log:
            # Started from elsewhere: the program finds its files beside itself.
            self.proc = spawn([os.path.join(self.folder, "zumbrel")], cwd="/", env=env,
                              stdout=log, stderr=subprocess.STDOUT, stdin=subprocess.DEVNULL)
        return self

    @property
    def pid(self):
        return self.proc.pid

    def running(self):
        return self.proc.poll() is None

    def wait_exit(self, timeout=DEFAULT_TIMEOUT):
        """The exit status, or raises E2EError when the program keeps running."""
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            raise E2EError(f"zumbrel did not end within {timeout:g}s") from None

    def stop(self):
        if self.proc is not None:
            end_process(self.proc)

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.folder, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)

    def output(self):
        return read_log(self.log)

    def read_ini(self):
        """The settings file as {section: {key: value}}, names in lower case
        (they match without regard to case), or None when there is none."""
        if not os.path.exists(self.ini_path):
            return None
        sections, current = {}, None
        with open(self.ini_path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.strip()
                if line.startswith("[") and line.endswith("]"):
                    current = sections.setdefault(line[1:-1].lower(), {})
                elif "=" in line and current is not None:
                    key, value = line.split("=", 1)
                    current.setdefault(key.strip().lower(), value.strip())
        return sections
