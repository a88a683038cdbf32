"""End-to-end scenarios of the auxiliary windows: the variables window (edit
a value, add a variable, use it), the graph window (Draw, then the picture's
pixels), the history tape (F10, its file, Up after a restart), presets
(Ctrl+S with a name, the file on disk, loading it back, also after a restart,
and deleting it) and the about box. Registered into the suite by
scenarios.py.
"""

import math
import os

from xdriver import E2EError, poll_for, wait_until

# Rows of the variables grid: A to F, X, then user variables.
ROW_A, ROW_X, ROW_ENTRY = 0, 6, 7

# Where the auxiliary windows are placed, clear of the main window (there
# is no window manager to place them).
WINDOWS_INI = ("[Position]\nVarsLeft=400\nVarsTop=0\nGraphLeft=340\nGraphTop=0\n")

YELLOW, GREY, BLACK, WHITE = (255, 255, 0), (128, 128, 128), (0, 0, 0), (255, 255, 255)


class Grid:
    """The variables window's grid, reached by clicks on its cells: the
    columns split the window as the window sets them, the rows are as high
    as the grid lines on screen show."""

    def __init__(self, calc, window):
        self.calc, self.window = calc, window
        self.row_height = _measure_rows(calc, window)

    def point(self, row, col):
        width = self.calc.x.geometry(self.window)[2]
        left = 10 if col == 0 else width // 2 - 35 + 20
        return left, 2 + row * self.row_height + self.row_height // 2

    def click(self, row, col):
        self.calc.x.click(self.window, *self.point(row, col))

    def value(self, row):
        """Clicks a value cell and gives its text, copied by the grid."""
        self.click(row, 1)
        return self.calc.copy_focused()

    def name(self, row):
        self.click(row, 0)
        return self.calc.copy_focused()


def _measure_rows(calc, vars_window):
    """The grid's row height, from the horizontal grid lines in its name
    column (a line is a run of one colour across the whole column)."""
    gx, gy, gw, gh = calc.x.geometry(vars_window)
    shot = calc.x.screenshot().crop(gx, gy, gw, gh)
    lines = []
    for y in range(1, gh - 1):
        colours = {shot.pixel(x, y) for x in range(4, gw // 2 - 40)}
        if len(colours) == 1 and colours != {WHITE}:
            lines.append(y)
    gaps = [b - a for a, b in zip(lines, lines[1:]) if b - a > 8]
    return max(set(gaps), key=gaps.count) if gaps else 0


def register_window_scenarios(scenario, Session, exits_cleanly, no_dialog_left):

    @scenario("variables window: edit a value, add a variable, use it")
    def variables_window(t, bin_dir):
        with Session(t, bin_dir) as s:
            calc = s.calculator(ini=WINDOWS_INI).start("Windows")
            calc.x.key("F11")
            window = calc.window("Variables")
            t.equal("F11 shows the variables window where the settings put it",
                    calc.x.geometry(window), (400, 0, 374, 290))
            grid = Grid(calc, window)
            t.check("the grid shows rows", grid.row_height > 8, f"row height {grid.row_height}")

            # A's value cell: typed in hexadecimal, committed by Tab.
            grid.click(ROW_A, 1)
            calc.x.key("ctrl+a")
            calc.x.type("0x1F")
            calc.x.key("Tab")
            t.equal("the committed value is shown in decimal", grid.value(ROW_A), "31")
            t.equal("the main window uses it", calc.calculate("A+1"), "32")

            # A new variable in the entry row, then its value.
            grid.click(ROW_ENTRY, 0)
            calc.x.type("rate")
            calc.x.key("Tab")
            calc.x.type("0.25")
            calc.x.key("Tab")
            t.equal("a variable added in the grid is usable", calc.calculate("rate*8"), "2")

            # A value still being edited counts when Return evaluates.
            calc.type_expression("A*3")
            grid.click(ROW_A, 1)
            calc.x.key("ctrl+a")
            calc.x.type("7")
            calc.x.key("Return")
            t.equal("Return in the grid commits the value and evaluates", calc.result("21"), "21")
            grid.click(ROW_X, 0)
            t.equal("Ctrl+Insert in the variables window copies the main result",
                    calc.result("21"), "21")

            # The grid's own radix, from its popup menu; the main window's
            # format stays as it was.
            # (On a cell that is not being edited: the editor has its own menu.)
            calc.open_menu(window, grid.point(ROW_X, 0))
            calc.choose(2)  # Delete, (separator), Hexadecimal
            t.equal("Hexadecimal in the grid's menu", poll_for(lambda: grid.value(ROW_A), "0x7"), "0x7")
            t.equal("the main window stays decimal", calc.result("21"), "21")

            calc.x.key("F11")
            calc.window_gone("Variables")
            t.check("F11 again hides the window", not calc.showing("Variables"))
            calc.x.focus(calc.main)
            calc.x.key("F11")
            window = calc.window("Variables")
            t.equal("shown again, the grid lists the new variable's name",
                    grid.name(ROW_ENTRY), "rate")
            t.equal("and its value", grid.value(ROW_ENTRY), "0x0")

            # Delete removes a user variable.
            grid.click(ROW_ENTRY, 0)
            calc.x.key("Delete")
            t.equal("a deleted variable is gone", calc.calculate("rate*8"), "No variable")
            calc.x.focus(calc.main)
            exits_cleanly(t, calc)
            t.ini(calc.program, {"Position/VarsLeft": "400", "Position/VarsTop": "0",
                                 "Position/VarsWidth": "374", "Position/VarsHeight": "290"})

    @scenario("graph window: Draw and the picture's pixels")
    def graph_window(t, bin_dir):
        with Session(t, bin_dir) as s:
            calc = s.calculator(ini=WINDOWS_INI).start("Windows")
            calc.type_expression("sin(X)")
            calc.x.key("F12")
            graph = calc.window("Graph")
            gx, gy, gw, gh = calc.x.geometry(graph)
            t.equal("F12 shows the graph window where the settings put it",
                    (gx, gy, gw, gh), (340, 0, 659, 450))
            panel_y = gh - 18
            fields = _white_runs(calc, graph, panel_y)
            t.equal("X range fields are editable, Y fields are off while AutoY is on",
                    len(fields), 2)
            if len(fields) < 2:
                return
            _draw(calc, graph, fields[0], panel_y, tabs_to_draw=3)
            plot = _plot(calc, graph)
            _check_sine(t, plot, -1.0, 1.0, "automatic Y range")

            # AutoY off: the fields show the rounded bounds and can be typed.
            calc.x.key("shift+Tab", "space")
            fields = wait_until(lambda: (lambda r: r if len(r) == 4 else None)(
                _white_runs(calc, graph, panel_y)), "the Y fields to be enabled", 20)
            calc.x.click(graph, (fields[2][0] + fields[2][1]) // 2, panel_y)
            t.equal("AutoY wrote the lower bound", calc.copy_focused(), "-1")
            t.equal("and the upper bound", calc.copy_focused("Tab"), "1")
            calc.x.key("ctrl+a")
            calc.x.type("3")
            calc.x.key("Tab", "Tab", "space")
            plot = _plot(calc, graph, before=plot)
            _check_sine(t, plot, -1.0, 3.0, "typed Y range")
            # The calculator's keys answer in the graph window too.
            calc.x.key("F12")
            calc.window_gone("Graph")
            calc.menu("Graph")
            t.check("the menu's Graph item shows the window", calc.window("Graph"))
            calc.menu("Graph")
            calc.window_gone("Graph")
            exits_cleanly(t, calc)
            t.ini(calc.program, {"Position/GraphLeft": "340", "Position/GraphTop": "0",
                                 "Position/GraphWidth": "659", "Position/GraphHeight": "450",
                                 "Graph/AutoY": "0", "Graph/DrawAxes": "1"})

    @scenario("history: the tape, its file, and Up after a restart")
    def history_tape(t, bin_dir):
        with Session(t, bin_dir) as s:
            ini = WINDOWS_INI + "HistoryLeft=400\nHistoryTop=300\n"
            calc = s.calculator(ini=ini).start("Windows")
            t.equal("6*7", calc.calculate("6*7"), "42")
            t.equal("an error goes on the tape too", calc.calculate("1/0"), "Division by zero")
            t.equal("2^10", calc.calculate("2^10"), "1024")
            calc.x.key("F10")
            window = calc.window("History")
            t.equal("F10 shows the History window where the settings put it",
                    calc.x.geometry(window)[:2], (400, 300))
            calc.x.key("F10")
            calc.window_gone("History")
            exits_cleanly(t, calc)
            with open(calc.program.path("zumbrel-history.txt"), "rb") as f:
                t.equal("the tape is kept in its file beside the settings", f.read().decode(),
                        ";Zumbrel history\n6*7\t42\t42\n1/0\tDivision by zero\t\n"
                        "2^10\t1024\t1024\n")

            calc.start("Windows")
            calc.type_expression("")
            calc.x.key("Up")
            t.equal("after a restart Up brings the last expression back", calc.expression(), "2^10")
            calc.x.key("Up", "Up")
            t.equal("and the ones before it", calc.expression(), "6*7")
            calc.x.key("Return")
            t.equal("a recalled expression evaluates", calc.result("42"), "42")
            exits_cleanly(t, calc)

    @scenario("presets: Ctrl+S, the file, loading, deleting")
    def presets(t, bin_dir):
        with Session(t, bin_dir) as s:
            calc = s.calculator(prepare=lambda folder: os.mkdir(os.path.join(folder, "Presets")))
            calc.start("Windows")
            calc.calculate("2+3")
            calc.press("MemSet", "A")
            calc.x.key("F5", "F2")
            calc.type_expression("A*3")
            calc.x.key("ctrl+s")
            dialog = calc.window("Profile name")
            calc.x.focus(dialog)
            calc.x.type("e2e one")
            calc.x.key("Return")
            calc.window_gone("Profile name")
            path = calc.program.path("Presets", "e2e one")
            wait_until(lambda: os.path.exists(path), "the preset file")
            with open(path, "rb") as f:
                content = f.read()
            zero = " 0.00000000000000E+0000"
            want = "\r\n".join([
                ";Zumbrel Preset", "", "[Calc]", "Func=A*3", "Format=1", "Degs=0", "Eng=0", "",
                "[Variables]", "A= 5.00000000000000E+0000", "B=" + zero, "C=" + zero, "D=" + zero,
                "E=" + zero, "F=" + zero, "X=" + zero, "", "[Graph]", "X1=-5", "X2=5", "Y1=-2",
                "Y2=2", "AY=1"]) + "\r\n"
            t.equal("the preset file holds the state", content.decode(errors="replace"), want)

            # Another state, then the preset brings the saved one back.
            calc.x.key("Escape", "F6", "F3")
            calc.press("MemClear", "A")
            calc.menu("Presets", sub=2)
            t.equal("loading restores the expression", calc.expression(), "A*3")
            calc.x.key("Return")
            t.equal("and the format and A's value", calc.result("0xF"), "0xF")
            t.equal("and the angle unit", calc.calculate("sin(90)"), "0x1")
            exits_cleanly(t, calc)

            calc.start("Windows")
            calc.menu("Presets", sub=2)
            t.equal("after a restart the preset is listed and loads", calc.expression(), "A*3")
            calc.menu("Presets", sub=1)
            t.check("Delete selected removes the loaded preset's file",
                    poll_for(lambda: os.path.exists(path), False) is False)

            calc.x.key("ctrl+s")
            dialog = calc.window("Profile name")
            calc.x.focus(dialog)
            calc.x.key("Escape")
            calc.window_gone("Profile name")
            t.equal("Esc in the name dialog saves nothing",
                    os.listdir(calc.program.path("Presets")), [])
            exits_cleanly(t, calc)

    @scenario("about box")
    def about_box(t, bin_dir):
        with Session(t, bin_dir) as s:
            calc = s.calculator().start("Windows")
            calc.menu("About")
            about = calc.window("About")
            ax, ay, aw, ah = calc.x.geometry(about)
            off_centre = (ax + aw / 2 - 640, ay + ah / 2 - 512)
            t.check("the about box is centred on the screen",
                    max(abs(d) for d in off_centre) <= 2, f"off by {off_centre}")
            calc.x.click(about, aw // 2, ah // 2)
            calc.window_gone("About")
            t.equal("a click closes it, the calculator goes on", calc.calculate("3*3"), "9")
            exits_cleanly(t, calc)


def _white_runs(calc, window, y):
    """The editable fields of the graph window's bottom panel: runs of white
    wider than 40 pixels along the panel's middle row (a field's text breaks
    its white; the fields narrow to make room for the pointer's readout), as
    (start, end)."""
    gx, gy, gw, _ = calc.x.geometry(window)
    shot = calc.x.screenshot().crop(gx, gy + y, gw, 1)
    runs, start = [], None
    for x in range(gw + 1):
        white = x < gw and shot.pixel(x, 0) == WHITE
        if white and start is None:
            start = x
        elif not white and start is not None:
            if x - start > 40:
                runs.append((start, x))
            start = None
    return runs


def _draw(calc, graph, from_x, panel_y, tabs_to_draw):
    """Types the X range -5 to 5 and presses Draw with the keyboard."""
    calc.x.click(graph, (from_x[0] + from_x[1]) // 2, panel_y)
    calc.x.key("ctrl+a")
    calc.x.type("-5")
    calc.x.key("Tab", "ctrl+a")
    calc.x.type("5")
    calc.x.key(*["Tab"] * (tabs_to_draw - 1), "space")


def _plot(calc, graph, before=None):
    """The plot picture (inside the window, above the panel), once a curve
    is on it that differs from the picture `before`."""
    gx, gy, gw, gh = calc.x.geometry(graph)
    width, height = gw - 8, gh - 36 - 4
    last = []

    def drawn():
        shot = calc.x.screenshot().crop(gx + 4, gy + 4, width, height)
        last[:] = [shot]
        fresh = before is None or shot.data != before.data
        return shot if fresh and shot.count(YELLOW, (0, 0, width, height)) > width // 2 else None
    try:
        return wait_until(drawn, "the curve to be drawn", 20)
    except E2EError:
        return last[0]  # the checks then say what is wrong with it


def _check_sine(t, plot, ymin, ymax, label):
    """sin(X) from -5 to 5: one yellow point per column where the formula
    puts it, the grey axes where the range holds 0, black elsewhere."""
    w, h = plot.width, plot.height
    misses = []
    for i in range(0, w, 25):
        v = math.sin(-5 + i * 10 / w)
        row = h - round(h * (v - ymin) / (ymax - ymin))
        if 0 <= row < h and not any(0 <= r < h and plot.pixel(i, r) == YELLOW
                                    for r in (row - 1, row, row + 1)):
            misses.append((i, row))
    t.equal(f"{label}: the curve is where sin puts it (column, row missed)", misses, [])
    axis_row = h - round(h * (0 - ymin) / (ymax - ymin))
    t.check(f"{label}: the X axis is a grey row at {axis_row}",
            plot.count(GREY, (0, axis_row, w, 1)) > w * 0.9,
            f"{plot.count(GREY, (0, axis_row, w, 1))} grey pixels")
    axis_col = round(5 / 10 * w)
    t.check(f"{label}: the Y axis is a grey column at {axis_col}",
            plot.count(GREY, (axis_col, 0, 1, h)) > h * 0.9,
            f"{plot.count(GREY, (axis_col, 0, 1, h))} grey pixels")
    corner = plot.count(BLACK, (0, 0, 40, 40)) + plot.count(YELLOW, (0, 0, 40, 40))
    t.equal(f"{label}: the background is black", corner, 1600)
