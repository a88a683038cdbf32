"""The calculator on today's desktops: as a client of a real Wayland
compositor (weston inside the private X server, driven through its window
and read from screenshots, since no X tool sees a Wayland window), and on a
screen scaled to 200 %, where the skins' @2x pictures are shown pixel for
pixel. Registered by scenarios.py.
"""

import os

from skinfile import read_bmp, read_outline
from xdriver import E2EError, Weston, poll_for, wait_until

MAGENTA = (255, 0, 255)  # the bundled skins' colour outside their outlines


class WestonCalculator:
    """The calculator's window on weston's desktop: found by its pixels (the
    compositor places it where it likes), clicked and read at screen
    coordinates."""

    def __init__(self, weston, calc, skin="Windows"):
        self.w = weston
        self.calc = calc
        self.x = calc.x
        self.skin = calc.skin_file(skin)
        self.outline = read_outline(self.skin.mask)
        self.bounds = (min(r[0] for r in self.outline), min(r[1] for r in self.outline),
                       max(r[2] for r in self.outline), max(r[3] for r in self.outline))
        self.origin = None

    def find(self, what="the calculator to show on the desktop", timeout=10):
        """Waits until the desktop shows the calculator alone, its outline's
        size, and gives its window's top-left corner."""
        left, top, right, bottom = self.bounds

        def probe():
            box = self.w.box()
            if box and box[2:] == (right - left, bottom - top):
                return box[0] - left, box[1] - top
            return None

        self.origin = wait_until(probe, what, timeout)
        return self.origin

    def at(self, x, y):
        return self.origin[0] + x, self.origin[1] + y

    def click(self, x, y, button=1):
        self.x.move_pointer(*self.at(x, y))
        self.x.run(["xdotool", "click", str(button)])

    def press(self, *names):
        for name in names:
            kind = "But" if self.skin.has("But", name) else "CheckBox"
            self.click(*self.skin.centre(kind, name))
        self.w.park_pointer()

    def region(self, kind, name, shot=None):
        left, top, width, height = self.skin.rect(kind, name)
        return (shot or self.x.screenshot()).crop(*self.at(left, top), width, height).data

    def outside_and_inside(self, shot):
        """The pixels of the window's picture outside its outline and inside it."""
        width, height = self.skin.size
        outside, inside = [], []
        for y in range(height):
            spans = [(r[0], r[2]) for r in self.outline if r[1] <= y < r[3]]
            for x in range(width):
                pixel = shot.pixel(*self.at(x, y))
                (inside if any(a <= x < b for a, b in spans) else outside).append(pixel)
        return outside, inside

    def drag(self, by):
        start = self.at(*self.skin.body_point())
        self.x.move_pointer(*start)
        self.x.run(["xdotool", "mousedown", "1"])
        for step in (1, 2, 3, 4):
            self.x.move_pointer(start[0] + by[0] * step // 4, start[1] + by[1] * step // 4)
        self.x.run(["xdotool", "mouseup", "1"])
        self.w.park_pointer()


def register_desktop_scenarios(scenario, Session, exits_cleanly):

    @scenario("Wayland: the calculator under weston")
    def wayland(t, bin_dir):
        ini = ("[Main]\nSkin=Windows\n[Position]\nLeft=300\nTop=200\n"
               "VarsLeft=400\nVarsTop=10\nGraphLeft=340\nGraphTop=20\n")
        with Session(t, bin_dir) as s:
            weston = s.weston()
            calc = s.calculator(ini=ini)
            calc.program.start(weston.env)
            win = WestonCalculator(weston, calc)
            try:
                win.find()
            except E2EError as error:
                raise E2EError(f"{error}; zumbrel said: {calc.program.output()[-2000:]}") from None

            shot = calc.x.screenshot()
            outside, inside = win.outside_and_inside(shot)
            t.check("the skin's outline leaves some of its picture out", len(outside) > 0)
            t.equal("outside the outline the desktop shows through",
                    sum(p != Weston.BACKGROUND for p in outside), 0)
            t.equal("inside it nothing of the desktop shows",
                    sum(p == Weston.BACKGROUND for p in inside), 0)
            t.equal("nor anything of the picture's colour outside the outline",
                    sum(p == MAGENTA for p in inside + outside), 0)

            before = win.origin
            win.drag((120, 90))
            moved = poll_for(lambda: win.find("the calculator at its new place"),
                             (before[0] + 120, before[1] + 90))
            t.equal("a drag of its body moves it with the pointer", moved,
                    (before[0] + 120, before[1] + 90))

            # The display shows what the keys compute: clicked keys, typed
            # keys, Return and a format key.
            zero = win.region("Label", "Result")
            win.press("7", "Multiply", "6", "Enter")

            def changed():
                shown = win.region("Label", "Result")
                return shown if shown != zero else None

            product = wait_until(changed, "the display to show the product", 20)
            win.press("Clear")
            t.check("Clear shows 0 again",
                    poll_for(lambda: win.region("Label", "Result"), zero) == zero)
            left, top, width, height = win.skin.rect("Edit", "Expression")
            win.click(left + width - 3, top + height // 2)
            weston.park_pointer()
            calc.x.type("42")
            calc.x.key("Return")
            t.check("typing 42 and Return shows what the clicked keys 7*6 showed",
                    poll_for(lambda: win.region("Label", "Result"), product) == product)
            calc.x.key("F5")
            t.check("F5 shows it in hexadecimal",
                    poll_for(lambda: win.region("Label", "Result") != product, True))

            # Exit from the menu (its last item: Up from none selected).
            right = win.origin[0] + win.skin.size[0]
            win.click(*win.skin.body_point(), button=3)
            weston.park_pointer()

            def menu_open():  # it reaches past the calculator's right edge
                box = weston.box()
                return box is not None and box[0] + box[2] > right

            wait_until(menu_open, "the popup menu to open", 20)
            calc.x.key("Up", "Return")
            t.equal("Exit ends the program with status 0", calc.program.wait_exit(), 0)
            t.ini(calc.program, {
                "Position/Left": "300", "Position/Top": "200",
                "Position/VarsLeft": "400", "Position/VarsTop": "10",
                "Position/GraphLeft": "340", "Position/GraphTop": "20",
                "Position/VarsWidth": "374", "Main/Format": "1"})

    @scenario("a screen scaled to 200 %: the skin's @2x pictures")
    def high_dpi(t, bin_dir):
        with Session(t, bin_dir) as s:
            calc = s.calculator(ini="[Main]\nSkin=Windows\n[Position]\nLeft=20\nTop=10\n")
            calc.scale = 2
            calc.start("Windows", {"QT_SCALE_FACTOR": "2"})
            width, height = calc.skin.size
            t.equal("the window is the skin's size twice over, at Left and Top twice over",
                    calc.geometry(), (40, 20, 2 * width, 2 * height))

            # A key as the screen shows it, the pointer elsewhere: the pixels of
            # its @2x picture, not its own picture doubled.
            left, top, w, h = calc.skin.rect("But", "7")
            picture = calc.skin.element_file("But", "7", "Default")
            base, ext = os.path.splitext(picture)
            _, _, sharp = read_bmp(base + "@2x" + ext)
            _, _, plain = read_bmp(picture)
            doubled = [bytes(b for i in range(w) for b in row[3 * i:3 * i + 3] * 2) for row in plain for _ in (0, 1)]
            calc.x.move_pointer(1270, 1010)

            def key_rows():
                shot = calc.x.screenshot()
                key = shot.crop(40 + 2 * left, 20 + 2 * top, 2 * w, 2 * h)
                return [key.data[y * 6 * w:(y + 1) * 6 * w] for y in range(2 * h)]

            shown = poll_for(key_rows, sharp)
            t.equal("the 7 key shows its @2x picture pixel for pixel",
                    sum(a != b for a, b in zip(shown, sharp)), 0)
            t.check("which is no doubled 1x picture", shown != doubled)

            calc.press("7", "Multiply", "6", "Enter")
            t.equal("its keys answer where the skin places them", calc.result("42"), "42")
            exits_cleanly(t, calc)
            t.ini(calc.program, {"Position/Left": "20", "Position/Top": "10"})
