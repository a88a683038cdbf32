#!/usr/bin/env python3
"""The installed calculator as a new user meets it:

    python3 installed.py <program> <data folder> <user>

Starts `program` (for example /usr/bin/zumbrel) as the unprivileged `user`,
with a fresh empty home folder and no XDG variables, on a private Xvfb, and
checks: the "Windows" skin shows and the window has its icon and class; an
evaluation goes on the history tape beside the settings; a
skin the user copies into ~/.local/share/zumbrel/Skins is in the Skin
submenu and loads; Ctrl+S saves a preset into ~/.local/share/zumbrel/Presets;
Exit writes ~/.config/zumbrel/zumbrel.ini. Must run as root (it starts the
program as another user). Prints failed checks and "N passed, M failed";
the exit status is 1 when anything failed.
"""

import os
import pwd
import shutil
import subprocess
import sys
import tempfile
import traceback

sys.dont_write_bytecode = True  # leave no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

from calculator import Calculator  # noqa: E402
from run_e2e import Checks  # noqa: E402
import xdriver  # noqa: E402
from xdriver import E2EError, Program, XServer, wait_until  # noqa: E402

# The user's copy of a bundled skin, under a name of its own.
USER_SKIN = "Mine"
COPIED_SKIN = "Pocket"


class InstalledProgram(Program):
    """The installed program started as `user` with its own fresh home; skins
    are looked up as the program does, the user's folder first."""

    def __init__(self, xserver, program, data_dir, user):
        self.x = xserver
        self.program = program
        self.data_dir = data_dir
        entry = pwd.getpwnam(user)
        self.uid, self.gid = entry.pw_uid, entry.pw_gid
        self.home = self._own_folder("zumbrel-home-")
        self.runtime = self._own_folder("zumbrel-run-")
        self.folder = self.home  # what Program.cleanup removes
        self.log = os.path.join(self.runtime, "zumbrel.log")
        self.proc = None

    def _own_folder(self, prefix):
        folder = tempfile.mkdtemp(prefix=prefix)
        os.chown(folder, self.uid, self.gid)
        return folder

    @property
    def user_data(self):
        return os.path.join(self.home, ".local", "share", "zumbrel")

    @property
    def ini_path(self):
        return os.path.join(self.home, ".config", "zumbrel", "zumbrel.ini")

    def path(self, *parts):
        if parts and parts[0] == "Skins":
            mine = os.path.join(self.user_data, *parts)
            if os.path.exists(mine):
                return mine
        return os.path.join(self.data_dir, *parts)

    def skin_names(self):
        names = set()
        for folder in (os.path.join(self.user_data, "Skins"), os.path.join(self.data_dir, "Skins")):
            if os.path.isdir(folder):
                names.update(f[:-4] for f in os.listdir(folder) if f.endswith(".skn"))
        return sorted(names, key=lambda n: (n.casefold(), n))

    def copy_skin(self, source, name):
        """What a user does to add a skin: the skin file and its pictures
        into ~/.local/share/zumbrel/Skins, as the user."""
        skins = os.path.join(self.user_data, "Skins")
        os.makedirs(skins)
        shutil.copy(os.path.join(self.data_dir, "Skins", source + ".skn"),
                    os.path.join(skins, name + ".skn"))
        shutil.copytree(os.path.join(self.data_dir, "Skins", source), os.path.join(skins, source))
        for root, dirs, files in os.walk(self.home):
            for entry in [root] + [os.path.join(root, n) for n in dirs + files]:
                os.chown(entry, self.uid, self.gid)

    def start(self, extra_env=None):
        env = {k: v for k, v in self.x.env.items() if not k.startswith("XDG_")}
        env.update(HOME=self.home, USER=pwd.getpwuid(self.uid).pw_name, XDG_RUNTIME_DIR=self.runtime,
                   QT_QPA_PLATFORM="xcb", LC_ALL="C.UTF-8", LANG="C.UTF-8")
        env.pop("QT_QPA_PLATFORMTHEME", None)
        env.update(extra_env or {})
        with open(self.log, "wb") as log:
            self.proc = xdriver.spawn(
                ["setpriv", f"--reuid={self.uid}", f"--regid={self.gid}", "--clear-groups", "--",
                 self.program], cwd="/", env=env, stdout=log, stderr=subprocess.STDOUT,
                stdin=subprocess.DEVNULL)
        return self

    def cleanup(self):
        self.stop()
        shutil.rmtree(self.home, ignore_errors=True)
        shutil.rmtree(self.runtime, ignore_errors=True)


def check_installed(t, x, program):
    program.copy_skin(COPIED_SKIN, USER_SKIN)
    calc = Calculator(x, program)
    calc.start("Windows")
    icon = x.run(["xprop", "-id", str(calc.main), "_NET_WM_ICON"], check=False).stdout.decode()
    t.check("the window has an icon", "_NET_WM_ICON(CARDINAL) =" in icon, icon[:80])
    wm_class = x.run(["xprop", "-id", str(calc.main), "WM_CLASS"], check=False).stdout.decode()
    t.contains("the window's class is the desktop entry's StartupWMClass", wm_class, '"Zumbrel"')
    t.equal("2+3", calc.calculate("2+3"), "5")
    # The history tape follows the settings into the user's folder.
    tape = os.path.join(os.path.dirname(program.ini_path), "zumbrel-history.txt")
    wait_until(lambda: os.path.isfile(tape), "the history tape beside the settings")
    with open(tape, "rb") as f:
        t.contains("the tape holds the evaluation", f.read().decode(errors="replace"), "2+3\t5\t5\n")

    calc.x.key("ctrl+s")
    dialog = calc.window("Profile name")
    calc.x.focus(dialog)
    calc.x.type("installed")
    calc.x.key("Return")
    calc.window_gone("Profile name")
    preset = os.path.join(program.user_data, "Presets", "installed")
    wait_until(lambda: os.path.isfile(preset), "the preset file in ~/.local/share/zumbrel/Presets")
    with open(preset, "rb") as f:
        t.contains("the preset holds the formula", f.read().decode(errors="replace"), "Func=2+3\r\n")

    names = program.skin_names()
    t.equal("the Skin submenu's skins", names, ["Midnight", USER_SKIN, "Pocket", "Windows"])
    calc.menu("Skin", sub=names.index(USER_SKIN))
    calc.use_skin(USER_SKIN)
    t.equal("no message box", calc.dialogs(), [])

    t.equal("Exit ends the program", calc.exit(), 0)
    sections = program.read_ini() or {}
    t.check("Exit wrote ~/.config/zumbrel/zumbrel.ini", bool(sections), program.ini_path)
    t.equal("the settings keep the skin's name", sections.get("main", {}).get("skin"), USER_SKIN)
    owner = os.stat(program.ini_path).st_uid if os.path.exists(program.ini_path) else None
    t.equal("the settings file is the user's", owner, program.uid)


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    if os.geteuid() != 0:
        print("installed.py starts the program as another user and must run as root")
        return 2
    t = Checks()
    t.scenario = "installed"
    x = program = None
    try:
        x = XServer()
        program = InstalledProgram(x, argv[1], argv[2], argv[3])
        check_installed(t, x, program)
    except Exception as error:
        detail = str(error) if isinstance(error, E2EError) else traceback.format_exc()
        t.check("the checks ran to their end", False, detail)
        if program is not None:
            print(program.output()[-3000:])
    finally:
        if program is not None:
            program.cleanup()
        xdriver.stop_all()
    print(f"{t.passed} passed, {t.failed} failed")
    return 0 if t.failed == 0 and t.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
