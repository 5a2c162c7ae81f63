#!/usr/bin/env bash
# Installs what is missing, builds, and then either starts the program ("run"),
# runs every test ("test"), or runs the benchmarks ("bench"), in any order.
#   bash scripts/build.sh run [--no-start] | test | bench
# "run --no-start" builds the program as "run" does without starting it.
set -euo pipefail

mode="${1:-run}"
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

# The three sans fonts are those the window tests are run under, each in turn (every
# build draws the guide's pictures in DejaVu and Liberation); xvfb and xauth give the
# end-to-end test its real X server.
packages=(cmake g++ make clang qt6-base-dev libqt6sql6-sqlite libsqlite3-dev qt6-pdf-dev libgl1-mesa-dev
          libbenchmark-dev libclang-rt-14-dev python3 fontconfig fonts-dejavu-core fonts-liberation2
          fonts-urw-base35 xvfb xauth)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo ">> installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

configure_and_build() { # dir, extra cmake args...
  local dir="$1"; shift
  cmake -S "$root" -B "$dir" "$@"
  cmake --build "$dir" -j "$jobs"
}

passed=0
failed=0
run_ctest() { # build dir: runs its tests and adds them to the totals
  local log
  log="$(mktemp)"
  set +e
  ctest --test-dir "$1" --output-on-failure -j "$jobs" 2>&1 | tee "$log"
  local rc="${PIPESTATUS[0]}"
  set -e
  local line total bad
  line="$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1 || true)"
  rm -f "$log"
  if [ -z "$line" ]; then
    # ctest prints no summary when it finds no test ("No tests were found!!!").
    echo "ctest ran no test in $1: it found none, or its output has no summary" >&2
    return 1
  fi
  total="$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")"
  bad="$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")"
  passed=$((passed + total - bad))
  failed=$((failed + bad))
  return "$rc"
}

# Every mode names each option it relies on: a build folder keeps the options of
# whichever mode configured it last, and "run" leaves the tests and benchmarks off.
case "$mode" in
  run)
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DVEK7_TESTS=OFF -DVEK7_BENCH=OFF
    program="$root/build/release/src/shell/vek7"
    if [ "${2:-}" = "--no-start" ]; then
      echo "built $program"
      exit 0
    fi
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
      echo "vek7 is built as $program, but it needs a display to start:" >&2
      echo "run this command again in a desktop session (or under X forwarding)." >&2
      exit 1
    fi
    exec "$program"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    echo ">> optimised build and tests"
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DVEK7_TESTS=ON -DVEK7_BENCH=ON
    run_ctest "$root/build/release"
    echo ">> debug build with address, leak and undefined-behaviour sanitizers"
    configure_and_build "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DVEK7_SANITIZE=ON -DVEK7_TESTS=ON -DVEK7_BENCH=OFF
    run_ctest "$root/build/asan"
    if [ -x "$root/scripts/fuzz.sh" ]; then
      bash "$root/scripts/fuzz.sh"
    fi
    echo "tests: $passed passed, $failed failed"
    ;;
  bench)
    export QT_QPA_PLATFORM=offscreen
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DVEK7_BENCH=ON
    bash "$root/scripts/bench.sh" "$root/build/release"
    ;;
  *)
    echo "usage: bash scripts/build.sh run|test|bench" >&2
    exit 2
    ;;
esac
