#!/usr/bin/env bash
# zumbrel-skinview --check as a skin author runs it: the bundled skins pass,
# a skin with faults lists them with file and line and ends with status 1.
# Needs no display. Usage: bash skinview_check_test.sh <bin dir>
set -u

bin_dir=${1:?usage: skinview_check_test.sh <bin dir>}
view="$bin_dir/zumbrel-skinview"
if [ ! -x "$view" ]; then
  echo "skinview_check_test: $view is missing"
  exit 1
fi
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR=$(mktemp -d)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch" "$XDG_RUNTIME_DIR"' EXIT
failed=0

for skin in "$bin_dir"/Skins/*.skn; do
  out=$("$view" --check "$skin" 2>/dev/null)
  status=$?
  if [ $status -ne 0 ] || ! grep -q ": 0 errors, 0 warnings$" <<<"$out"; then
    echo "FAIL: $skin: status $status"; echo "$out"; failed=1
  fi
done

# The Windows skin with a misspelt key, a picture in other letter case and
# one that is gone.
cp -r "$bin_dir/Skins/Windows" "$scratch/Windows"
sed -e 's/^But1Default=/But1Defualt=/' -e 's/^But2Default=\(.*\)\.bmp/But2Default=\L\1.BMP/' \
    -e 's/^But3Up=.*/But3Up=Gone.bmp/' "$bin_dir/Skins/Windows.skn" >"$scratch/Windows.skn"
out=$("$view" --check "$scratch/Windows.skn" 2>/dev/null)
status=$?
line() { grep -n "$1" "$scratch/Windows.skn" | head -1 | cut -d: -f1; }
for want in \
    "Windows.skn:$(line '^But1Defualt='): error: But1Defualt: did you mean But1Default?" \
    "Windows.skn:$(line '^But2Default='): warning: But2Default=" \
    "Windows.skn:$(line '^But3Up='): error: But3Up=Gone.bmp: no such picture" \
    "Windows.skn: 2 errors, 1 warning"; do
  if ! grep -qF "$want" <<<"$out"; then echo "FAIL: missing: $want"; failed=1; fi
done
if [ $status -ne 1 ]; then echo "FAIL: status $status for a skin with errors"; failed=1; fi
[ $failed -eq 0 ] && echo "skinview --check: ok"
[ $failed -ne 0 ] && echo "$out"
exit $failed
