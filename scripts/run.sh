#!/usr/bin/env bash
# Installs what the build needs, configures, builds and runs Vantrose.
#   scripts/run.sh demo       build, then run the embedded demo
#   scripts/run.sh test       build, then run the whole test suite
#   scripts/run.sh sanitize   the test suite in an AddressSanitizer + UBSan build (build-asan/)
#   scripts/run.sh build      build only
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  g++ cmake ninja-build pkg-config
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libsndfile1-dev
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${PACKAGES[@]}"
}

build() {
  local dir=$1
  shift
  cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)"
}

run_tests() {
  ctest --test-dir "$1" --output-on-failure -j "$(nproc)" --timeout 600
}

cmd=${1:-}
case "$cmd" in
  demo)
    install_packages
    build build
    ./build/vantrose demo
    ;;
  test)
    install_packages
    build build
    run_tests build
    ;;
  sanitize)
    install_packages
    build build-asan -DVANTROSE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
    ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 run_tests build-asan
    ;;
  build)
    install_packages
    build build
    ;;
  *)
    echo "usage: scripts/run.sh demo|test|sanitize|build" >&2
    exit 2
    ;;
esac
