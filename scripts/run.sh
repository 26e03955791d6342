#!/usr/bin/env bash
# Installs what the build needs, configures, builds and runs Vantrose.
#   scripts/run.sh demo       build, then run the embedded demo
#   scripts/run.sh test       build, then run the whole test suite
#   scripts/run.sh sanitize   the test suite in an AddressSanitizer + UBSan build (build-asan/)
#   scripts/run.sh fuzz [S]   build the libFuzzer targets with clang, replay their seed
#                             corpora and fuzz each for S seconds (default 30)
#   scripts/run.sh tsan       a ThreadSanitizer build (build-tsan/) of the validator, run on
#                             the sections where a second thread sets parameters while
#                             blocks render, and of the LV2 thread tests (state save
#                             beside run())
#   scripts/run.sh build      build only
#   scripts/run.sh check      the layering check and the formatting check, no build
# VANTROSE_WERROR=ON in the environment makes every build treat warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  g++ cmake ninja-build pkg-config python3
  libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev zlib1g-dev libsndfile1-dev libcli11-dev nlohmann-json3-dev help2man
  libfreetype-dev libfontconfig-dev fonts-dejavu-core
  clang libclang-rt-14-dev clang-format
  lv2-dev liblilv-dev lilv-utils sordi
  libx11-dev libxtst-dev xvfb xauth xdotool x11-utils jalv jackd2 jack-tools sox imagemagick
  dpkg-dev file
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

# build DIR [cmake options...]; BUILD_TARGET names one target instead of all.
build() {
  local dir=$1
  shift
  # A compiler cache, where the machine has one, makes repeated builds cheap.
  local launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja -DVANTROSE_WERROR="${VANTROSE_WERROR:-OFF}" "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$(nproc)" ${BUILD_TARGET:+--target "$BUILD_TARGET"}
}

run_tests() {
  ctest --test-dir "$1" --output-on-failure -j "$(nproc)" --timeout 600
}

# Each fuzzer first replays its committed seed corpus, then explores for the given
# time with a scratch corpus so the repository's seeds stay as committed.
run_fuzzers() {
  local dir=$1 seconds=$2 status=0
  # The fuzz build lets UBSan recover; a finding must still end the run as a failure.
  export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
  for f in "$dir"/tests/fuzz/*_fuzz; do
    [ -x "$f" ] || continue
    local name seeds work
    name=$(basename "$f" _fuzz)
    seeds=tests/fuzz/corpus/$name
    work=$dir/corpus/$name
    mkdir -p "$work" "$seeds"
    # A target with a dictionary of its format's tokens (tests/fuzz/NAME.dict) gets it.
    local dict=()
    [ -f "tests/fuzz/$name.dict" ] && dict=(-dict="tests/fuzz/$name.dict")
    echo "== fuzz $name: ${seconds}s"
    "$f" -runs=0 "$seeds" || status=1
    local log=$dir/$name.log
    if "$f" "${dict[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=4096 \
      -print_final_stats=1 "$work" "$seeds" >"$log" 2>&1; then
      grep -E '^(#[0-9]+[[:space:]]+DONE|stat::number_of_executed_units|stat::peak_rss)' "$log" || true
    else
      tail -n 60 "$log"
      status=1
    fi
  done
  return $status
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
  fuzz)
    install_packages
    BUILD_TARGET=fuzzers build build-fuzz -DVANTROSE_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    run_fuzzers build-fuzz "${2:-30}"
    ;;
  tsan)
    install_packages
    tsan_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_FLAGS=-fsanitize=thread
      -DCMAKE_C_FLAGS=-fsanitize=thread -DCMAKE_EXE_LINKER_FLAGS=-fsanitize=thread)
    BUILD_TARGET=vantrose build build-tsan "${tsan_flags[@]}"
    BUILD_TARGET=lv2_thread_tests build build-tsan "${tsan_flags[@]}"
    TSAN_OPTIONS=halt_on_error=1 ./build-tsan/vantrose validate --section threads
    TSAN_OPTIONS=halt_on_error=1 ./build-tsan/vantrose validate --section automation
    TSAN_OPTIONS=halt_on_error=1 ./build-tsan/tests/lv2/lv2_thread_tests
    ;;
  build)
    install_packages
    build build
    ;;
  check)
    install_packages
    python3 scripts/check-layering.py
    git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run -Werror
    echo "formatting: OK"
    ;;
  *)
    echo "usage: scripts/run.sh demo|test|sanitize|tsan|fuzz [seconds]|build|check" >&2
    exit 2
    ;;
esac
