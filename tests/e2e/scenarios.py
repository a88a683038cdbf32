"""The end-to-end scenarios of the calculator: start-up with and without
settings and skins, the skin's keys, typing, the keyboard map, the popup
menu, skin switching, variable fields, and exit with the settings file on
disk. The auxiliary windows and presets are in scenarios_windows.py.
Each scenario takes the checks object and the program folder to copy.
"""

import os
import shutil
import time

from calculator import Calculator
from xdriver import Program, Weston, XServer, poll_for, wait_until

ALL = {}


def scenario(name):
    def register(fn):
        ALL[name] = fn
        return fn
    return register


class Session:
    """One private X server and the program copies a scenario starts on it;
    everything is ended and removed when the scenario leaves."""

    def __init__(self, checks, bin_dir):
        self.t = checks
        self.bin_dir = bin_dir
        self.programs = []
        self.x = None

    def __enter__(self):
        self.x = XServer()
        return self

    def calculator(self, ini=None, prepare=None):
        program = Program(self.x, self.bin_dir, ini, prepare)
        self.programs.append(program)
        return Calculator(self.x, program)

    def weston(self):
        """A Wayland compositor on this scenario's X server."""
        self.compositor = Weston(self.x)
        return self.compositor

    def __exit__(self, *exc):
        for program in self.programs:
            # A program that died by a signal crashed: that fails the
            # scenario whatever its checks said.
            status = program.proc.poll() if program.proc else None
            if not self.t.check("zumbrel did not crash", status is None or status >= 0,
                                f"ended by signal {-(status or 0)}"):
                print(program.output()[-3000:])
            program.cleanup()
        if getattr(self, "compositor", None):
            self.compositor.stop()
        if self.x:
            self.x.stop()


def no_dialog_left(t, calc):
    t.equal("no message box is left open", calc.dialogs(), [])


def exits_cleanly(t, calc):
    no_dialog_left(t, calc)
    t.equal("Exit from the menu ends the program with status 0", calc.exit(), 0)


# ---------------------------------------------------------------------------

@scenario("first start without a settings file")
def first_start(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        t.equal("the window sits at the top-left corner", calc.geometry()[:2], (0, 0))
        t.equal("the display starts at 0", calc.result("0"), "0")
        # sin(Pi/2) is 1 only in radians (in degrees it is 0.0274...).
        t.equal("radians are the angle unit", calc.calculate("sin(Pi/2)"), "1")
        t.equal("decimal is the number format", calc.calculate("255/2"), "127.5")
        exits_cleanly(t, calc)
        t.ini(calc.program, {
            "Main/Skin": "Windows", "Main/Format": "0", "Main/AlwayOnTop": "0",
            "Position/Left": "0", "Position/Top": "0",
            "Position/VarsLeft": "0", "Position/VarsTop": "0",
            "Position/VarsWidth": "374", "Position/VarsHeight": "290",
            "Position/GraphLeft": "0", "Position/GraphTop": "0",
            "Position/GraphWidth": "659", "Position/GraphHeight": "450",
            "Graph/AutoX": "0", "Graph/AutoY": "1", "Graph/JoinPoints": "0", "Graph/DrawAxes": "1",
        })


@scenario("skin keys, typing, Return, Back and Clear")
def keys_and_typing(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        calc.press("7", "Multiply", "6", "Enter")
        t.equal("keys 7 * 6 and Enter show the product", calc.result("42"), "42")
        t.equal("the keys built the expression", calc.expression(), "7*6")
        calc.press("Back")
        t.equal("Back steps the expression back once", calc.expression(), "7*")
        calc.press("Back")
        t.equal("Back again", calc.expression(), "7")
        calc.press("Clear")
        t.equal("Clear shows 0", calc.result("0"), "0")
        t.equal("Clear empties the expression", calc.expression(), "")

        calc.press("BracketL", "2", "Plus", "3", "BracketR", "Power2", "Plus", "Pi", "Divide", "Pi", "Enter")
        t.equal("brackets, powers and Pi from the keys", calc.result("26"), "26")
        t.equal("their texts", calc.expression(), "(2+3)^2+Pi/Pi")
        calc.press("Clear", "1", "Point", "5", "Multiply", "4", "Enter")
        t.equal("the decimal point key", calc.result("6"), "6")
        calc.press("Clear", "5", "Fact", "Inv", "Enter")
        t.equal("Fact and Inv keys insert ! and 1/", calc.expression(), "5!1/")

        t.equal("typed 2^10 and Return", calc.calculate("2^10"), "1024")
        t.equal("an error shows its text", calc.calculate("1/0"), "Division by zero")
        t.equal("a syntax error", calc.calculate("2+*3"), "Syntax error")
        t.equal("an undefined variable", calc.calculate("Zz9+1"), "No variable")
        calc.type_expression("6*7=")
        t.equal('"=" typed evaluates like Return', calc.result("42"), "42")
        t.equal('"=" stays out of the field', calc.expression(), "6*7")
        calc.x.set_clipboard("+1\n+2\t")
        calc.x.key("ctrl+v", "Return")
        t.equal("a pasted line break and tab are blanks", calc.result("45"), "45")

        # Each keystroke is one undo step; Esc starts a new history.
        calc.click_field()
        calc.x.key("Escape")
        calc.x.type("12")
        calc.press("Back")
        t.equal("Back after typing 12 gives 1", calc.expression(), "1")
        calc.press("Back")
        t.equal("a second Back gives the empty text", calc.expression(), "")
        calc.press("Back")
        t.equal("a third Back does nothing", calc.expression(), "")
        no_dialog_left(t, calc)


@scenario("keyboard map: Esc, F2-F9, Ctrl+Insert, Shift+Insert")
def keyboard_map(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        t.equal("2^10", calc.calculate("2^10"), "1024")
        t.equal("an error first", calc.calculate("1/0"), "Division by zero")
        for key, want in (("F5", "0x400"), ("F7", "0o2000"), ("F8", "0b10000000000"), ("F6", "1024")):
            calc.x.key(key)
            t.equal(f"{key} shows the last good result in its format", calc.result(want), want)
        calc.calculate("2500")
        calc.x.key("F9")
        t.equal("F9 turns engineering notation on", calc.result("2.5k"), "2.5k")
        calc.x.key("F9")
        t.equal("F9 again turns it off", calc.result("2500"), "2500")
        # Held down, a key repeats (the server's auto-repeat, on in Xvfb):
        # each hold still acts once, when the key is let go.
        for want in ("2.5k", "2500", "2.5k", "2500"):
            calc.x.run(["xdotool", "keydown", "F9"])
            time.sleep(1.2)
            calc.x.run(["xdotool", "keyup", "F9"])
            t.equal(f"a held F9 toggles once, to {want}", calc.result(want), want)

        calc.x.key("F2")
        t.equal("F2: degrees", calc.calculate("sin(90)"), "1")
        calc.x.key("F4")
        t.equal("F4: gradians", calc.calculate("sin(100)"), "1")
        t.equal("gradians for arccos", calc.calculate("arccos(0)"), "100")
        calc.x.key("F3")
        t.equal("F3: radians", calc.calculate("sin(Pi/2)"), "1")

        calc.calculate("7")
        calc.x.key("Escape")
        t.equal("Esc shows 0", calc.result("0"), "0")
        t.equal("Esc empties the expression", calc.expression(), "")
        calc.x.key("F5")
        t.equal("after Esc, F5 shows the last result 7", calc.result("0x7"), "0x7")
        calc.x.key("F6")

        calc.x.set_clipboard("6*7")
        calc.click_field()
        calc.x.key("Escape", "shift+Insert")
        t.equal("Shift+Insert pastes once into the field", calc.expression(), "6*7")
        calc.x.key("Return")
        t.equal("and Return evaluates it", calc.result("42"), "42")

        # The memory keys, with a memory box armed for one key press.
        t.equal("2+3", calc.calculate("2+3"), "5")
        calc.press("MemSet", "A")
        t.equal("MemSet then A stores the last result in A", calc.calculate("A*2"), "10")
        calc.type_expression("")
        calc.press("MemOut", "A")
        t.equal("MemOut then A inserts A's value", calc.expression(), "5")
        calc.press("A")
        t.equal("the memory box is armed for one key only", calc.expression(), "5A")

        # 2ndF and Hyp are one-shot modifiers of the function keys.
        calc.type_expression("")
        calc.press("2ndF", "Hyp", "Sin")
        t.equal("2ndF and Hyp with Sin insert arcsinh", calc.expression(), "arcsinh")
        calc.press("Sin")
        t.equal("both modifiers are off after Sin", calc.expression(), "arcsinhsin")
        calc.type_expression("")
        calc.press("2ndF", "Log")
        t.equal("2ndF with Log inserts 10^", calc.expression(), "10^")
        no_dialog_left(t, calc)


@scenario("popup menu: formats, angle unit, copy, always on top, exit")
def popup_menu(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        calc.calculate("5")
        calc.menu("Binary")
        t.equal("Binary from the menu", calc.result("0b101"), "0b101")
        calc.x.set_clipboard("<before copy>")
        calc.menu("Copy result")
        t.equal("Copy result from the menu puts the display on the clipboard",
                poll_for(calc.x.clipboard, "0b101"), "0b101")
        calc.menu("Degrees")
        t.equal("Degrees from the menu (shown in binary)", calc.calculate("arcsin(1)"), "0b1011010")
        calc.menu("Decimal")
        t.equal("Decimal from the menu", calc.result("90"), "90")
        calc.calculate("0.25")
        calc.menu("Eng")
        t.equal("Eng from the menu", calc.result("250m"), "250m")
        calc.menu("Eng")
        calc.menu("Radians")
        t.equal("Radians from the menu", calc.calculate("cos(Pi)"), "-1")
        calc.menu("Hexadecimal")
        t.equal("Hexadecimal from the menu", calc.calculate("255"), "0xFF")
        calc.menu("Octal")
        t.equal("Octal from the menu", calc.result("0o377"), "0o377")
        left, top, width, height = calc.skin.rect("Label", "Result")
        calc.x.click(calc.main, left + width // 2, top + height // 2, button=3)
        t.check("a right click on the result display opens the menu too",
                wait_until(lambda: calc.popups(), "the popup menu", 5))
        calc.x.key("Escape")
        wait_until(lambda: not calc.popups(), "Esc to close the menu", 20)
        t.equal("Esc in the menu leaves the display alone", calc.result("0o377"), "0o377")
        calc.menu("Always On Top")
        calc.refind()
        t.check("Always On Top keeps the window above others",
                poll_for(lambda: "_NET_WM_STATE_ABOVE" in calc.x.wm_state(calc.main), True),
                calc.x.wm_state(calc.main))
        t.equal("the window keeps its place", calc.geometry()[:2], (0, 0))
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/Format": "2", "Main/AlwayOnTop": "1", "Main/Skin": "Windows"})

        # The next start keeps the format and is on top at once.
        calc.start("Windows")
        t.check("a start with AlwayOnTop=1 is on top",
                "_NET_WM_STATE_ABOVE" in calc.x.wm_state(calc.main), calc.x.wm_state(calc.main))
        t.equal("a start with Format=2 shows octal", calc.calculate("8"), "0o10")
        calc.menu("Always On Top")
        calc.refind()
        t.check("Always On Top again turns it off",
                poll_for(lambda: "_NET_WM_STATE_ABOVE" in calc.x.wm_state(calc.main), False) is False,
                calc.x.wm_state(calc.main))
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/AlwayOnTop": "0"})


@scenario("skin switch from the menu, and the Close key")
def skin_switch(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        t.equal("6*7", calc.calculate("6*7"), "42")
        calc.menu("Skin", sub=calc.skin_menu_index("Pocket"))
        calc.use_skin("Pocket")
        t.equal("the display keeps its text across the switch", calc.result("42"), "42")
        calc.press("Clear", "9", "Multiply", "9", "Enter")
        t.equal("Pocket's keys build an unseen expression", calc.result("81"), "81")
        calc.press("Back", "Back", "Plus", "1", "Enter")
        t.equal("Back works on the unseen expression", calc.result("10"), "10")
        calc.x.focus(calc.main)
        calc.x.key("Escape")
        t.equal("Esc still shows 0 with a hidden field", calc.result("0"), "0")
        calc.press("Clear")
        calc.x.type("2+3")
        calc.x.key("Return")
        t.equal("typing into Pocket acts like its keys", calc.result("5"), "5")
        calc.x.type("*4")
        calc.x.key("BackSpace")
        calc.x.type("6=")
        t.equal("Backspace is Back, and = evaluates", calc.result("20"), "20")
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/Skin": "Pocket"})

        calc.start("Pocket")
        calc.press("Close")
        t.equal("the Close key ends the program with status 0", calc.program.wait_exit(), 0)
        t.ini(calc.program, {"Main/Skin": "Pocket"})


@scenario("a skin's variable field")
def variable_field(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator(ini="[Main]\nSkin=Midnight\n").start("Midnight")
        t.equal("the field's initial text is the variable's value", calc.calculate("Rate*4"), "2")
        calc.click_field("Rate")
        calc.x.key("ctrl+a")
        calc.x.type("3")
        t.equal("a value typed in the field counts once the field is left",
                calc.calculate("Rate*4"), "12")
        calc.click_field("Rate")
        calc.x.key("ctrl+a")
        calc.x.type("0x10")
        calc.x.key("Return")
        t.equal("Return in the variable field uses its new value", calc.result("64"), "64")
        exits_cleanly(t, calc)


@scenario("settings file: position, format, bad always-on-top value")
def settings_values(t, bin_dir):
    ini = "[Main]\nFormat=0x3\nAlwayOnTop=yes\n[Position]\nLeft=120\nTop=80\n"
    with Session(t, bin_dir) as s:
        calc = s.calculator(ini=ini).start("Windows")
        t.equal("the window starts at Left, Top", calc.geometry()[:2], (120, 80))
        t.equal("Format=0x3 is binary", calc.calculate("5"), "0b101")
        t.check("AlwayOnTop=yes is not an integer: not on top",
                "_NET_WM_STATE_ABOVE" not in calc.x.wm_state(calc.main), calc.x.wm_state(calc.main))
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/Format": "3", "Main/AlwayOnTop": "0", "Main/Skin": "Windows",
                             "Position/Left": "120", "Position/Top": "80"})


@scenario("dragging the window by its body, snapping to the screen's edge")
def window_drag(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator().start("Windows")
        calc.drag((200, 150))
        t.equal("a drag moves the window with the pointer",
                poll_for(lambda: calc.geometry()[:2], (200, 150)), (200, 150))
        calc.drag((-190, 0))
        t.equal("a window dropped 10 pixels from the left edge snaps to it",
                poll_for(lambda: calc.geometry()[:2], (0, 150)), (0, 150))
        t.equal("the keys still answer at the new place", calc.calculate("3+4"), "7")
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Position/Left": "0", "Position/Top": "150"})


@scenario("settings naming a missing skin")
def missing_skin(t, bin_dir):
    with Session(t, bin_dir) as s:
        calc = s.calculator(ini="[Main]\nSkin=NoSuchSkin\n").start("Windows")
        t.equal("the Windows skin works in its place", calc.calculate("1+1"), "2")
        no_dialog_left(t, calc)
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/Skin": "NoSuchSkin", "Main/Format": "0", "Main/AlwayOnTop": "0",
                             "Position/Left": "0", "Position/Top": "0"})


def _settings_bytes(program):
    try:
        with open(program.ini_path, "rb") as f:
            return f.read()
    except FileNotFoundError:
        return None


def _cannot_load(t, calc, label):
    before = _settings_bytes(calc.program)
    calc.program.start()
    box = calc.wait_dialog()
    # The text of a message box cannot be read from outside on X11: its
    # title and what follows it tell which one it is.
    t.equal(f"{label}: the message box's title", calc.x.title(box), "Error")
    t.equal(f"{label}: no main window is shown",
            calc.x.windows(calc.program.pid, "Zumbrel", "normal"), [])
    calc.x.focus(box)
    calc.x.key("Return")
    t.equal(f"{label}: OK ends the program with status 0", calc.program.wait_exit(), 0)
    t.equal(f"{label}: the settings file is left as it was", _settings_bytes(calc.program), before)


@scenario("no loadable skin at all")
def no_loadable_skin(t, bin_dir):
    def no_skins_folder(folder):
        shutil.rmtree(os.path.join(folder, "Skins"))

    def no_main_pictures(folder):
        for name in os.listdir(os.path.join(folder, "Skins")):
            picture = os.path.join(folder, "Skins", name, "Background.bmp")
            if os.path.exists(picture):
                os.remove(picture)

    with Session(t, bin_dir) as s:
        _cannot_load(t, s.calculator(prepare=no_skins_folder), "no Skins folder")
        _cannot_load(t, s.calculator(ini="[Main]\nSkin=Pocket\n", prepare=no_main_pictures),
                     "no skin has its main picture")


@scenario("a skin with a broken picture")
def broken_picture(t, bin_dir):
    def break_a_key(folder):
        skin = os.path.join(folder, "Skins", "Midnight.skn")
        from skinfile import Skin
        path = Skin(skin).element_file("But", "7", "Default")
        with open(path, "wb") as f:
            f.write(b"BM this is no picture at all")

    with Session(t, bin_dir) as s:
        calc = s.calculator(ini="[Main]\nSkin=Midnight\n", prepare=break_a_key)
        calc.program.start()
        box = calc.wait_dialog()
        t.equal("the start reports the picture in the error report", calc.x.title(box), "Zumbrel")
        t.equal("before the main window shows",
                calc.x.windows(calc.program.pid, "Zumbrel", "normal"), [])
        calc.x.focus(box)
        calc.x.key("Return")
        calc.main = calc.x.wait_window(calc.program.pid, "Zumbrel", "normal")
        calc.use_skin("Windows")
        t.equal("the program goes on with the Windows skin", calc.calculate("6*7"), "42")
        no_dialog_left(t, calc)

        calc.menu("Skin", sub=calc.skin_menu_index("Midnight"))
        box = calc.wait_dialog()
        t.equal("switching to the broken skin reports it", calc.x.title(box), "Zumbrel")
        calc.x.focus(box)
        calc.x.key("Return")
        wait_until(lambda: not calc.dialogs(), "the message box to close")
        calc.main = calc.x.wait_window(calc.program.pid, "Zumbrel", "normal")
        calc.use_skin("Windows")
        calc.x.focus(calc.main)
        t.equal("the display keeps its text", calc.result("42"), "42")
        t.equal("the expression keeps its text", calc.expression(), "6*7")
        t.equal("the keys still work", calc.calculate("2*4"), "8")
        exits_cleanly(t, calc)
        t.ini(calc.program, {"Main/Skin": "Midnight"})


@scenario("a settings file that cannot be written")
def unwritable_settings(t, bin_dir):
    def read_only(folder):
        os.chmod(os.path.join(folder, "zumbrel.ini"), 0o444)

    with Session(t, bin_dir) as s:
        calc = s.calculator(ini="[Main]\nSkin=Windows\nFormat=1\n", prepare=read_only)
        calc.start("Windows")
        before = _settings_bytes(calc.program)
        calc.menu("Binary")
        calc.menu("Exit")
        # The three windows save their keys together: one report, not three.
        boxes = 0
        while calc.program.running():
            box = (calc.dialogs() or [None])[0]
            if box is None:
                time.sleep(0.1)
                continue
            boxes += 1
            t.equal(f"report {boxes}: the error report's title", calc.x.title(box), "Zumbrel")
            calc.x.focus(box)
            calc.x.key("Return")
            wait_until(lambda: box not in calc.dialogs(), "the message box to close")
            if boxes > 3:
                break
        t.equal("an unwritable settings file is reported once", boxes, 1)
        t.equal("the program then ends with status 0", calc.program.wait_exit(), 0)
        t.equal("the settings file is left as it was", _settings_bytes(calc.program), before)


from scenarios_windows import register_window_scenarios  # noqa: E402
from scenarios_desktops import register_desktop_scenarios  # noqa: E402

register_window_scenarios(scenario, Session, exits_cleanly, no_dialog_left)
register_desktop_scenarios(scenario, Session, exits_cleanly)
