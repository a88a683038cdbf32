#!/usr/bin/env bash
# Zumbrel's one entry point for people and CI.
#   ./build.sh run    install what is missing, build, start the calculator
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh build  install what is missing and build only
#   ./build.sh sanitize  the core and gui tests under AddressSanitizer and
#                        UndefinedBehaviorSanitizer, leaks included (build-asan)
#   ./build.sh fuzz      every fuzz target for 30 s under the sanitizers, when
#                        clang is present (build-fuzz)
set -euo pipefail
cd "$(dirname "$0")"
what=${1:-run}
BUILD_DIR=${BUILD_DIR:-build}

# Debian 12 packages the build and the tests need.
PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev qt6-base-dev-tools libgl-dev
          libgtest-dev libgmock-dev libbenchmark-dev libmuparser-dev libedit-dev
          clang libclang-rt-14-dev xvfb xauth xdotool xclip x11-utils imagemagick bc
          fonts-dejavu-core python3 weston qt6-wayland)

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

build() {
  cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$BUILD_DIR"
}

# The core and gui tests once more, built with the sanitizers in their own
# folder. Only the test programs are built (no benchmarks, fuzz targets or
# skin regeneration); -O1 keeps the instrumented tests quick.
sanitize() {
  local dir=${ASAN_BUILD_DIR:-build-asan}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DZUMBREL_SANITIZE=ON \
    -DZUMBREL_FUZZ=OFF "-DCMAKE_CXX_FLAGS_DEBUG=-O1 -g1" >/dev/null
  cmake --build "$dir" --target zumbrel_unit_tests
  (cd "$dir" && ctest --output-on-failure -j2 --timeout 900 -L 'core|gui')
}

# Each reader of outside input fuzzed for a short while (libFuzzer needs clang).
fuzz() {
  if ! command -v clang++ >/dev/null; then
    echo "clang++ not found: fuzz targets skipped"
    return 0
  fi
  local dir=${FUZZ_BUILD_DIR:-build-fuzz}
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DZUMBREL_FUZZ=ON -DBUILD_TESTING=ON >/dev/null
  cmake --build "$dir" --target zumbrel_fuzz_targets
  (cd "$dir" && ctest --output-on-failure -j2 -L fuzz)
}

install_missing
case "$what" in
  build) build ;;
  run)
    build
    if [ -x "$BUILD_DIR/bin/zumbrel" ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
      exec "$BUILD_DIR/bin/zumbrel"
    elif [ -x "$BUILD_DIR/bin/zumbrel" ]; then
      echo "No display found: starting zumbrel-calc at this terminal instead." >&2
      exec "$BUILD_DIR/bin/zumbrel-calc"
    else
      exec "$BUILD_DIR/bin/zumbrel-calc"
    fi ;;
  test)
    build
    (cd "$BUILD_DIR" && ctest --output-on-failure -j2 --timeout 600)
    sanitize
    fuzz ;;
  sanitize) sanitize ;;
  fuzz) fuzz ;;
  *) echo "usage: $0 run|test|build|sanitize|fuzz" >&2; exit 2 ;;
esac
