#!/usr/bin/env bash
# End-to-end acceptance of the calculator under a real X server (and a real
# Wayland compositor inside one): starts the built zumbrel from fresh copies
# of its folder on private Xvfb displays and drives it only from outside
# (xdotool, xclip, screenshots), then checks the files it leaves on disk. Usage: bash e2e_test.sh <bin dir>
set -u

bin_dir=${1:?usage: e2e_test.sh <bin dir>}
here=$(cd "$(dirname "$0")" && pwd)
suite="$here/../e2e/run_e2e.py"

missing=()
for tool in python3 Xvfb xdpyinfo xdotool xclip xwininfo xprop import weston; do
  command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  # CI installs these (build.sh); a machine without them cannot run the suite.
  echo "e2e: missing tools: ${missing[*]} (install xvfb x11-utils xdotool xclip imagemagick weston qt6-wayland)"
  echo "0 passed, 1 failed"
  exit 1
fi

exec python3 "$suite" "$bin_dir" "${@:2}"
