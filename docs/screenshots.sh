#!/usr/bin/env bash
# Takes the pictures docs/screenshot-<skin>.png of the built calculator, one
# per bundled skin, under a private Xvfb server: a fresh copy of the program's
# folder, a sum typed or clicked in, then the window cut out of the screen.
# The window's outline becomes transparency: the screen is taken twice, over
# a black and over a magenta background, and whatever differs lies outside.
# Then docs/screenshot-history.png (the calculator beside its History window)
# and docs/screenshot-graph.png (a plot with grid, labels and the pointer's
# readout).
#   docs/screenshots.sh [BIN_DIR]     (default build/bin)
# Needs Xvfb, xdotool, xwininfo and ImageMagick (all in build.sh's list).
set -euo pipefail
cd "$(dirname "$0")/.."
bin=$(realpath "${1:-build/bin}")
display=${SCREENSHOT_DISPLAY:-:58}
work=$(mktemp -d)
xvfb_pid=""
calc_pid=""

finish() {
  [ -n "$calc_pid" ] && kill "$calc_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT

Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# Paints the screen's background (display reports failure even when it has
# done so, hence the check of a corner pixel instead).
background() {
  convert -size 1024x768 "xc:$1" "$work/root.png"
  display -window root "$work/root.png" || true
  local want got
  want=$(convert "$work/root.png" -format '%[hex:p{0,0}]' info:)
  got=$(import -window root -crop 1x1+1023+767 +repage png:- | convert - -format '%[hex:p{0,0}]' info:)
  [ "$want" = "$got" ] || { echo "cannot paint the screen's background $1 (got $got)" >&2; exit 1; }
}

# shoot SKIN ACTION...: starts the calculator with SKIN, runs the action
# (xdotool words relative to the window), saves the picture.
shoot() {
  local skin=$1 out="docs/screenshot-${1,,}.png"
  shift
  rm -rf "$work/app" && cp -r "$bin" "$work/app" && rm -f "$work/app/zumbrel.ini"
  printf '[Main]\nSkin=%s\n[Position]\nLeft=40\nTop=40\n' "$skin" >"$work/app/zumbrel.ini"
  background black
  "$work/app/zumbrel" >/dev/null 2>&1 &
  calc_pid=$!
  local window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Zumbrel$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no calculator window for $skin" >&2; exit 1; }
  sleep 0.5
  "$@" "$window"
  # The pointer off the keys and the focus away, so no key is lit and no
  # caret blinks in the picture.
  xdotool mousemove 1000 750
  xdotool windowfocus "$(xwininfo -root | awk '/Window id:/{print $4}')" || true
  sleep 0.5
  local geometry
  geometry=$(xwininfo -id "$window" | awk '/Absolute upper-left X/{x=$4} /Absolute upper-left Y/{y=$4}
    /Width:/{w=$2} /Height:/{h=$2} END{print w "x" h "+" x "+" y}')
  import -window root -crop "$geometry" +repage "$work/over-black.png"
  background '#FF00FF'
  sleep 0.3
  import -window root -crop "$geometry" +repage "$work/over-magenta.png"
  convert "$work/over-black.png" "$work/over-magenta.png" -compose difference -composite \
    -colorspace gray -threshold 0 -negate "$work/mask.png"
  convert "$work/over-black.png" "$work/mask.png" -alpha off -compose copy_opacity -composite \
    -strip "$out"
  kill "$calc_pid" && wait "$calc_pid" 2>/dev/null || true
  calc_pid=""
  echo "$out ($geometry)"
}

# type_at X Y TEXT WINDOW: clicks into the expression line, types, evaluates.
type_at() {
  xdotool mousemove --window "$4" "$1" "$2" click 1
  sleep 0.2
  xdotool type --delay 30 -- "$3"
  xdotool key Return
}

# click_keys X,Y... WINDOW: clicks the calculator's keys in turn.
click_keys() {
  local window=${*: -1}
  for point in "${@:1:$#-1}"; do
    xdotool mousemove --window "$window" "${point%,*}" "${point#*,}" click 1
    sleep 0.15
  done
}

shoot Windows type_at 150 54 'sqrt(2)*100'
shoot Midnight type_at 150 58 '100*Rate+sqrt(2)'
# Pocket's expression line is hidden: its keys build 22/7 out of sight.
shoot Pocket click_keys 115,324 115,324 247,244 49,244 181,364

# start_with INI: a fresh copy of the program with these settings; its main
# window in $window.
start_with() {
  rm -rf "$work/app" && cp -r "$bin" "$work/app" && rm -f "$work/app/zumbrel.ini"
  printf "$1" >"$work/app/zumbrel.ini"
  "$work/app/zumbrel" >/dev/null 2>&1 &
  calc_pid=$!
  window=""
  for _ in $(seq 100); do
    window=$(xdotool search --onlyvisible --name '^Zumbrel$' 2>/dev/null | head -1) && [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "no calculator window" >&2; exit 1; }
  sleep 0.5
}

stop_calc() {
  kill "$calc_pid" && wait "$calc_pid" 2>/dev/null || true
  calc_pid=""
}

start_with '[Position]\nLeft=20\nTop=20\nHistoryLeft=355\nHistoryTop=20\nHistoryWidth=380\nHistoryHeight=290\n'
xdotool mousemove --window "$window" 150 54 click 1
for sum in '12*7.5' 'sqrt(2)' '2^64' '1/0' 'sin(Pi/6)' '(1+2)*(3+4)' '0xFF+1' '100/7'; do
  xdotool key Escape
  xdotool type --delay 20 -- "$sum"
  xdotool key Return
  sleep 0.2
done
xdotool key Up Up
xdotool key F10
sleep 0.8
xdotool mousemove 1000 750
import -window root -crop 750x530+0+0 +repage -strip docs/screenshot-history.png
echo docs/screenshot-history.png
stop_calc

start_with '[Position]\nLeft=700\nTop=300\nGraphLeft=20\nGraphTop=20\n[Graph]\nGridLabels=1\n'
xdotool mousemove --window "$window" 150 54 click 1
xdotool type --delay 20 -- 'sin(2*X)+X/4'
xdotool key F12
sleep 0.8
graph=$(xdotool search --onlyvisible --name '^Graph$' | head -1)
# Draw is the last control before the readout in the bottom panel's row.
xdotool mousemove --window "$graph" 503 432 click 1
sleep 0.5
xdotool mousemove --window "$graph" 430 120
sleep 0.4
import -window root -crop 659x450+20+20 +repage -strip docs/screenshot-graph.png
echo docs/screenshot-graph.png
stop_calc
