#!/usr/bin/env bash
# Installs what is missing, builds, and then either starts the program ("run"),
# runs every test ("test"), or runs the benchmarks ("bench").
#   bash scripts/build.sh run | test | bench
set -euo pipefail

mode="${1:-run}"
root="$(cd "$(dirname "$0")/.." && pwd)"
jobs="$(nproc)"

packages=(cmake g++ make clang qt6-base-dev libqt6sql6-sqlite qt6-pdf-dev libgl1-mesa-dev
          libbenchmark-dev libclang-rt-14-dev python3)
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

case "$mode" in
  run)
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DVEK7_TESTS=OFF -DVEK7_BENCH=OFF
    exec "$root/build/release/src/shell/vek7"
    ;;
  test)
    export QT_QPA_PLATFORM=offscreen
    echo ">> optimised build and tests"
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release
    ctest --test-dir "$root/build/release" --output-on-failure -j "$jobs"
    echo ">> debug build with address, leak and undefined-behaviour sanitizers"
    configure_and_build "$root/build/asan" -DCMAKE_BUILD_TYPE=Debug -DVEK7_SANITIZE=ON -DVEK7_BENCH=OFF
    ctest --test-dir "$root/build/asan" --output-on-failure -j "$jobs"
    if [ -x "$root/scripts/fuzz.sh" ]; then
      bash "$root/scripts/fuzz.sh"
    fi
    ;;
  bench)
    export QT_QPA_PLATFORM=offscreen
    configure_and_build "$root/build/release" -DCMAKE_BUILD_TYPE=Release
    bash "$root/scripts/bench.sh" "$root/build/release"
    ;;
  *)
    echo "usage: bash scripts/build.sh run|test|bench" >&2
    exit 2
    ;;
esac
