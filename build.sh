#!/usr/bin/env bash
# Zumbrel's one entry point for people and CI. Each build folder is a preset
# of CMakePresets.json.
#   ./build.sh run        install what is missing, build, start the calculator
#   ./build.sh test       install what is missing, build, run every test: the
#                         tests (build), the package check (validators, lintian,
#                         the package installed, run and removed), the
#                         sanitizer run and the fuzz check;
#                         the same commit gives the same verdict every time
#   ./build.sh build      install what is missing and build only
#   ./build.sh package    build, then the Debian package (build/package/*.deb)
#   ./build.sh sanitize   the core and gui tests under AddressSanitizer and
#                         UndefinedBehaviorSanitizer, leaks included (build-asan)
#   ./build.sh fuzz-check every fuzz target on its corpus and then a fixed number
#                         of inputs from a fixed seed, under the sanitizers
#                         (build-fuzz; needs clang)
#   ./build.sh fuzz [SECONDS]  every fuzz target for SECONDS (default 60) from a
#                         random seed, to find new faults; not part of `test`
set -euo pipefail
cd "$(dirname "$0")"
what=${1:-run}

# Debian 12 packages the build and the tests need.
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev libedit-dev
          clang libclang-rt-14-dev xvfb xauth xdotool xclip x11-utils imagemagick bc
          fonts-dejavu-core python3 weston qt6-wayland
          dpkg-dev file lintian desktop-file-utils appstream man-db)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# A compiler cache speeds up rebuilds where one is installed; it is taken when
# a build folder is first configured, and nothing needs it.
if [ -z "${CMAKE_CXX_COMPILER_LAUNCHER:-}" ] && command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi

# Prints how long a step took, for the CI log.
timed() {
  local start=$SECONDS
  "$@"
  echo "== $1: $((SECONDS - start)) s"
}

preset_build() {
  cmake --preset "$1" >/dev/null
  cmake --build --preset "$1"
}

build() { preset_build default; }
run_tests() { ctest --preset default; }

# The Debian package of the default build, in build/package/.
package() {
  rm -rf build/package
  (cd build && cpack -G DEB -B "$PWD/package")
}

# The desktop entry and metadata validated, the package built and linted,
# then installed, run as a new user and removed (tests/e2e/package_check.sh).
package_check() { bash tests/e2e/package_check.sh build; }

# The core and gui tests once more, built with the sanitizers (only the test
# programs: no benchmarks, fuzz targets or skin tools).
sanitize() {
  preset_build sanitize
  ctest --preset sanitize
}

have_clang() {
  command -v clang++ >/dev/null && return 0
  echo "clang++ not found: fuzz targets skipped"
  return 1
}

# Each reader of outside input on its corpus, then a fixed number of inputs
# from a fixed seed (fuzz/RunFuzzer.cmake): no clock decides anything.
fuzz_check() {
  have_clang || return 0
  preset_build fuzz
  ctest --preset fuzz
}

# Random, longer fuzzing. What it finds is printed with how to minimize it; a
# finding is minimized, added to fuzz/corpus/<target>/ and gets a regression
# test before the fix.
fuzz() {
  local seconds=${1:-60}
  case "$seconds" in '' | *[!0-9]*) echo "usage: $0 fuzz [SECONDS]" >&2; exit 2 ;; esac
  have_clang || return 0
  preset_build fuzz
  local failed=() corpus name work
  for corpus in fuzz/corpus/*/; do
    name=$(basename "$corpus")
    work=$PWD/build-fuzz/fuzz/explore/$name
    echo "== fuzz_$name for $seconds s"
    cmake -DFUZZER="$PWD/build-fuzz/bin/fuzz_$name" -DCORPUS="$PWD/fuzz/corpus/$name" \
      -DWORK="$work" -DSECONDS="$seconds" -P fuzz/RunFuzzer.cmake || failed+=("$name")
  done
  cat <<EOF

Findings land in build-fuzz/fuzz/explore/<target>/findings/, new inputs that
reach new code in build-fuzz/fuzz/explore/<target>/corpus/.
  Reproduce:  build-fuzz/bin/fuzz_<target> <finding>
  Minimize:   build-fuzz/bin/fuzz_<target> -minimize_crash=1 -runs=100000 \\
                -exact_artifact_path=fuzz/corpus/<target>/<name> <finding>
  Keep new coverage: build-fuzz/bin/fuzz_<target> -merge=1 fuzz/corpus/<target> \\
                build-fuzz/fuzz/explore/<target>/corpus
A minimized finding goes into fuzz/corpus/<target>/ with a regression test,
before the fix; './build.sh test' then replays it on every run.
EOF
  if [ ${#failed[@]} -gt 0 ]; then
    echo "Found faults in: ${failed[*]}" >&2
    return 1
  fi
  echo "No faults found."
}

install_missing
case "$what" in
  build) build ;;
  package)
    build
    package ;;
  run)
    build
    if [ -x build/bin/zumbrel ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec build/bin/zumbrel
    elif [ -x build/bin/zumbrel ]; then
      echo "No display found: starting zumbrel-calc at this terminal instead." >&2
      exec build/bin/zumbrel-calc
    else
      exec build/bin/zumbrel-calc
    fi ;;
  test)
    timed build
    timed run_tests
    timed package_check
    timed sanitize
    timed fuzz_check ;;
  sanitize) sanitize ;;
  fuzz-check) fuzz_check ;;
  fuzz) fuzz "${2:-60}" ;;
  *) echo "usage: $0 run|test|build|package|sanitize|fuzz-check|fuzz [SECONDS]" >&2; exit 2 ;;
esac
