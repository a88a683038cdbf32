#!/usr/bin/env python3
"""Runs the end-to-end scenarios against a built program folder:

    python3 run_e2e.py <bin dir> [name-part ...]

Each scenario gets its own X server and fresh copies of the program folder.
Prints one line per failed check, a line per scenario and the closing line
"N passed, M failed"; the exit status is 1 when anything failed.
"""

import os
import signal
import sys
import time
import traceback

sys.dont_write_bytecode = True  # leave no caches in the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import scenarios  # noqa: E402
import xdriver  # noqa: E402


class Checks:
    """Counts and reports the checks of the running scenario."""

    def __init__(self):
        self.passed = 0
        self.failed = 0
        self.scenario = ""

    def check(self, what, ok, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAIL [{self.scenario}] {what}" + (f": {detail}" if detail else ""), flush=True)
        return ok

    def equal(self, what, got, want):
        return self.check(what, got == want, f"want {want!r}, got {got!r}")

    def contains(self, what, text, part):
        return self.check(what, text is not None and part in text, f"want {part!r} in {text!r}")

    def ini(self, program, expected):
        """Compares keys of the settings file: expected maps "Section/Key" to
        the value (names without regard to case)."""
        sections = program.read_ini()
        if not self.check("the settings file exists", sections is not None, program.ini_path):
            return
        for name, want in expected.items():
            section, key = name.lower().split("/")
            self.equal(f"zumbrel.ini {name}", sections.get(section, {}).get(key), want)


def _terminate(signum, _frame):
    raise SystemExit(128 + signum)


def main(argv):
    if len(argv) < 2:
        print("usage: run_e2e.py <bin dir> [scenario name part ...]")
        return 2
    bin_dir = os.path.abspath(argv[1])
    if not os.access(os.path.join(bin_dir, "zumbrel"), os.X_OK):
        print(f"e2e: {bin_dir}/zumbrel is missing")
        print("0 passed, 1 failed")
        return 1
    chosen = [name for name in scenarios.ALL
              if len(argv) < 3 or any(part.lower() in name.lower() for part in argv[2:])]

    signal.signal(signal.SIGTERM, _terminate)
    signal.signal(signal.SIGINT, _terminate)
    checks = Checks()
    started = time.monotonic()
    try:
        for name in chosen:
            checks.scenario = name
            before = (checks.passed, checks.failed)
            t0 = time.monotonic()
            try:
                scenarios.ALL[name](checks, bin_dir)
            except Exception as error:  # one broken scenario must not stop the others
                detail = str(error) if isinstance(error, xdriver.E2EError) else traceback.format_exc()
                checks.check("scenario ran to its end", False, detail)
            finally:
                xdriver.stop_all()
            passed, failed = checks.passed - before[0], checks.failed - before[1]
            state = "ok" if failed == 0 else "FAILED"
            print(f"{state:6} {name}: {passed} passed, {failed} failed ({time.monotonic() - t0:.1f}s)",
                  flush=True)
    finally:
        xdriver.stop_all()
    print(f"e2e took {time.monotonic() - started:.0f}s")
    print(f"{checks.passed} passed, {checks.failed} failed")
    return 0 if checks.failed == 0 and checks.passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
