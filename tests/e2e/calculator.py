"""The calculator as a user sees it: its main window, the keys its skin
places, the expression field, the result display (read through Ctrl+Insert
and the clipboard), the popup menu and the other windows. Built on xdriver;
used by the end-to-end scenarios.
"""

import itertools
import os
import time

from skinfile import Skin
from xdriver import E2EError, wait_until

# The popup menu's items as keyboard navigation meets them (separators are
# skipped): the first Down selects item 0.
MENU = ["Always On Top", "Copy result", "Skin", "Presets", "Degrees", "Radians", "Gradians",
        "Hexadecimal", "Decimal", "Octal", "Binary", "Eng", "Variables", "Graph", "History", "About",
        "Help", "Exit"]

_sentinels = itertools.count(1)


class Calculator:
    def __init__(self, xserver, program):
        self.x = xserver
        self.program = program
        self.main = None
        self.skin = None
        # Screen pixels per skin pixel (a screen scaled to 200 % has 2).
        self.scale = 1

    # ---- start and end ----

    def skin_file(self, name):
        return Skin(self.program.path("Skins", name + ".skn"))

    def start(self, skin="Windows", extra_env=None):
        """Starts the program and waits for its main window, drawn with the
        given skin (its picture's size)."""
        self.program.start(extra_env)
        self.main = self.x.wait_window(self.program.pid, "Zumbrel", "normal")
        self.use_skin(skin)
        # What a window manager does for a new window: it gets the keyboard.
        self.x.focus(self.main)
        return self

    def use_skin(self, name):
        self.skin = self.skin_file(name)
        want = tuple(v * self.scale for v in self.skin.size)
        try:
            wait_until(lambda: (self.geometry() or (0, 0, 0, 0))[2:] == want,
                       f"the main window to take the {name} skin's size {want}", 20)
        except E2EError as error:
            seen = self.x.describe(self.program.pid)
            raise E2EError(f"{error}; main window {self.main}, windows: {seen}") from None

    def refind(self):
        """Finds the main window again (changing its always-on-top flag may
        give it a new X window)."""
        want = tuple(v * self.scale for v in self.skin.size)
        self.main = wait_until(
            lambda: next((w for w in self.x.windows(self.program.pid, "Zumbrel", "normal")
                          if (self.x.geometry(w) or (0, 0, 0, 0))[2:] == want), None),
            "the main window", 5)
        return self.main

    def geometry(self):
        return self.x.geometry(self.main)

    def dialogs(self):
        """Message boxes and other dialogs of the program that are showing."""
        return self.x.windows(self.program.pid, kind="dialog")

    # ---- the skin's elements ----

    def press(self, *names):
        """Clicks the skin's buttons (or check boxes) by name, in order."""
        for name in names:
            kind = "But" if self.skin.has("But", name) else "CheckBox"
            x, y = self.skin.centre(kind, name)
            self.x.click(self.main, x * self.scale, y * self.scale)

    def click_field(self, name="Expression"):
        left, top, width, height = self.skin.rect("Edit", name)
        self.x.click(self.main, (left + width - 3) * self.scale, (top + height // 2) * self.scale)

    def type_expression(self, text, clear=True):
        """Types into the expression field (emptied first with Ctrl+A and
        BackSpace, which the field handles itself)."""
        self.click_field()
        self.x.key("End")
        if clear:
            self.x.key("ctrl+a", "BackSpace")
        if text:
            self.x.type(text)

    def calculate(self, text):
        """Types a formula, presses Return and gives the display's text."""
        self.type_expression(text)
        self.x.key("Return")
        return self.result()

    def drag(self, by):
        """Drags the window by its body point, in a few pointer steps."""
        bx, by_ = self.skin.body_point()
        left, top = self.geometry()[:2]
        start = (left + bx, top + by_)
        self.x.move_pointer(*start)
        self.x.run(["xdotool", "mousedown", "1"])
        for step in (1, 2, 3, 4):
            self.x.move_pointer(start[0] + by[0] * step // 4, start[1] + by[1] * step // 4)
        self.x.run(["xdotool", "mouseup", "1"])

    # ---- reading texts through the clipboard ----

    def _copied(self, *keys, timeout=2.0):
        """Puts a fresh sentinel on the clipboard, presses the keys and gives
        what replaced the sentinel, or None when nothing did."""
        sentinel = f"<e2e sentinel {next(_sentinels)}>"
        self.x.set_clipboard(sentinel)
        self.x.key(*keys)
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            text = self.x.clipboard()
            if text is not None and text != sentinel:
                return text
            time.sleep(0.05)
        return None

    def result(self, want=None, timeout=5.0):
        """The result display's text, copied with Ctrl+Insert; with `want`,
        copies again until it shows that text or the time is up."""
        deadline = time.monotonic() + timeout
        while True:
            text = self._copied("ctrl+Insert")
            if want is None or text == want or time.monotonic() > deadline:
                return text

    def expression(self):
        """The expression field's text (selected and copied by the field). An
        empty field copies nothing, so a copy that does not come is read as
        the empty text; the other checks show that copying itself works."""
        self.click_field()
        text = self._copied("ctrl+a", "ctrl+c", timeout=1.0)
        self.x.key("End")
        return "" if text is None else text

    def copy_focused(self, *before):
        """Presses `before`, then Ctrl+A and Ctrl+C in the focused field and
        gives its copied text."""
        if before:
            self.x.key(*before)
        return self._copied("ctrl+a", "ctrl+c")

    # ---- the popup menu ----

    def popups(self):
        return self.x.windows(self.program.pid, kind="popup")

    def open_menu(self, window=None, at=None):
        """Right-clicks the window body (or `at` in another window) and waits
        for the popup menu. The pointer then moves off the menu, so that no
        item is picked by hovering and the first Down selects the first one."""
        x, y = at or tuple(v * self.scale for v in self.skin.body_point())
        self.x.click(window or self.main, x, y, button=3)
        menus = wait_until(lambda: self.popups(), "the popup menu to open", 20)
        self.x.move_pointer(1270, 1010)
        return menus

    def choose(self, downs):
        """Presses Down `downs` times and Return in the open menu, and waits
        for the menus to close."""
        self.x.key(*["Down"] * downs, "Return")
        wait_until(lambda: not self.popups(), "the popup menu to close", 20)

    def menu(self, item, sub=None):
        """Chooses a menu item by its caption with the keyboard; with `sub`,
        opens that submenu and chooses its item number `sub` (0-based)."""
        self.open_menu()
        if sub is None:
            self.choose(MENU.index(item) + 1)
            return
        # Right opens the submenu with its first item selected.
        self.x.key(*["Down"] * (MENU.index(item) + 1), "Right")
        wait_until(lambda: len(self.popups()) >= 2, f"the {item} submenu to open", 20)
        self.choose(sub)

    def skin_menu_index(self, name):
        """The Skin submenu lists the skins by name, letter case aside (and
        by case between names equal without it)."""
        names = [f[:-4] for f in os.listdir(self.program.path("Skins")) if f.endswith(".skn")]
        names.sort(key=lambda n: (n.casefold(), n))
        return names.index(name)

    def exit(self, timeout=10.0):
        """Exit from the menu; gives the exit status."""
        self.menu("Exit")
        return self.program.wait_exit(timeout)

    # ---- other windows ----

    def window(self, title, timeout=10.0):
        return self.x.wait_window(self.program.pid, title, timeout=timeout)

    def window_gone(self, title, timeout=10.0):
        self.x.wait_no_window(self.program.pid, title, timeout=timeout)

    def showing(self, title):
        return bool(self.x.windows(self.program.pid, title))

    def wait_dialog(self, timeout=10.0):
        return wait_until(lambda: (self.dialogs() or [None])[0], "a message box", timeout)
