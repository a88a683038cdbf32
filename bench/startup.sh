#!/usr/bin/env bash
# Start-up time and memory of the calculator next to its yardsticks.
#
#   bench/startup.sh [-n RUNS] [COMMAND ...]
#
# Each COMMAND is one command line (quote it). Without commands the pass
# measures the calculator (build/bin/zumbrel), a bare Qt 6 Widgets window
# (bench/bare_window.cpp) and, when installed, galculator and speedcrunch.
# Every program runs under a private Xvfb: a warm-up run, then RUNS runs
# (default 9); each run times the wall clock from the start of the program to
# the mapping of its first top-level window (X MapNotify, see startup_probe.c) and
# reads VmRSS and Pss two seconds after that map. Medians are reported.
# BUILD_DIR (default build) names the build folder holding bin/zumbrel; the
# helpers are compiled into BUILD_DIR/bench-startup.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
RUNS=9
if [ "${1:-}" = "-n" ]; then RUNS=$2; shift 2; fi
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
TOOLS=$BUILD_DIR/bench-startup
mkdir -p "$TOOLS"

# Helpers: the stopwatch and the bare window, rebuilt when their source changes.
if [ ! -x "$TOOLS/startup_probe" ] || [ bench/startup_probe.c -nt "$TOOLS/startup_probe" ]; then
  cc -O2 -o "$TOOLS/startup_probe" bench/startup_probe.c -lX11
fi
if [ ! -x "$TOOLS/bare_window" ] || [ bench/bare_window.cpp -nt "$TOOLS/bare_window" ]; then
  # shellcheck disable=SC2046
  g++ -O2 -std=c++20 -fPIC -o "$TOOLS/bare_window" bench/bare_window.cpp \
    $(pkg-config --cflags --libs Qt6Widgets)
fi

if [ $# -eq 0 ]; then
  set -- "$BUILD_DIR/bin/zumbrel" "$TOOLS/bare_window"
  command -v galculator >/dev/null && set -- "$@" galculator
  command -v speedcrunch >/dev/null && set -- "$@" speedcrunch
fi

# A private X server (it picks a free display number itself), a private home
# (so no program reads the user's settings) and no accessibility bus, the same
# for every program.
SCRATCH=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$SCRATCH/display" >"$SCRATCH/xvfb.log" 2>&1 &
XVFB=$!
cleanup() { kill "$XVFB" 2>/dev/null || true; wait "$XVFB" 2>/dev/null || true; rm -rf "$SCRATCH"; }
trap cleanup EXIT
for _ in $(seq 200); do [ -s "$SCRATCH/display" ] && break; sleep 0.05; done
[ -s "$SCRATCH/display" ] || { echo "Xvfb did not start" >&2; cat "$SCRATCH/xvfb.log" >&2; exit 1; }
export DISPLAY=:$(head -n1 "$SCRATCH/display")
export HOME=$SCRATCH/home XDG_CONFIG_HOME=$SCRATCH/home/.config NO_AT_BRIDGE=1
unset WAYLAND_DISPLAY QT_QPA_PLATFORM SESSION_MANAGER
mkdir -p "$XDG_CONFIG_HOME"

median() { sort -n | awk '{v[NR]=$1} END {if (NR==0) print "-"; else if (NR%2) print v[(NR+1)/2]; else printf "%.1f\n", (v[NR/2]+v[NR/2+1])/2}'; }

# One run: prints "<ms> <rss kB> <pss kB> <cpu ms>".
# A run that could not even reach the X server is tried again.
run_once() {
  local attempt
  for attempt in 1 2 3; do
    # shellcheck disable=SC2086
    "$TOOLS/startup_probe" 20 2 $1 && return 0
    sleep 0.2
  done
  return 1
}

printf '%-16s %8s %8s %8s %8s %8s %8s\n' program "map ms" "min ms" "max ms" "cpu ms" "RSS MiB" "Pss MiB"
declare -A MAP PSS CPU
for cmd in "$@"; do
  name=$(basename "${cmd%% *}")
  if ! run_once "$cmd" >/dev/null; then echo "$name: failed to start" >&2; continue; fi
  : >"$SCRATCH/runs"
  for _ in $(seq "$RUNS"); do run_once "$cmd" >>"$SCRATCH/runs" || true; done
  ms=$(awk '{print $1}' "$SCRATCH/runs" | median)
  lo=$(awk '{print $1}' "$SCRATCH/runs" | sort -n | head -1)
  hi=$(awk '{print $1}' "$SCRATCH/runs" | sort -n | tail -1)
  rss=$(awk '{print $2}' "$SCRATCH/runs" | median)
  pss=$(awk '{print $3}' "$SCRATCH/runs" | median)
  cpu=$(awk '{print $4}' "$SCRATCH/runs" | median)
  MAP[$name]=$ms
  CPU[$name]=$cpu
  PSS[$name]=$pss
  printf '%-16s %8s %8s %8s %8s %8.1f %8.1f\n' "$name" "$ms" "$lo" "$hi" "$cpu" \
    "$(echo "$rss / 1024" | bc -l)" "$(echo "$pss / 1024" | bc -l)"
done

# The goals: within 1.5 times the bare window's start, no more memory than galculator.
if [ -n "${MAP[zumbrel]:-}" ] && [ -n "${MAP[bare_window]:-}" ]; then
  printf 'zumbrel / bare window start-up: %.2f (goal <= 1.5); processor time %.2f\n' \
    "$(echo "${MAP[zumbrel]} / ${MAP[bare_window]}" | bc -l)" "$(echo "${CPU[zumbrel]} / ${CPU[bare_window]}" | bc -l)"
fi
if [ -n "${PSS[zumbrel]:-}" ] && [ -n "${PSS[galculator]:-}" ]; then
  printf 'zumbrel / galculator Pss: %.2f (goal <= 1.0)\n' "$(echo "${PSS[zumbrel]} / ${PSS[galculator]}" | bc -l)"
fi
