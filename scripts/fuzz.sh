#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for a bounded time on its seed corpus and the kept regression inputs.
# A crash fails the run; the input that caused it is left in the build folder and
# belongs in fuzz/regressions/<target>/ once the fault is fixed.
#   bash scripts/fuzz.sh [build folder]       (VEK7_FUZZ_SECONDS per target, default 60)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build/fuzz}"
seconds="${VEK7_FUZZ_SECONDS:-60}"
jobs="$(nproc)"

echo ">> fuzz targets (clang, address and undefined-behaviour sanitizers)"
CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DVEK7_FUZZ=ON -DVEK7_TESTS=OFF -DVEK7_BENCH=OFF
cmake --build "$dir" -j "$jobs" --target fuzz_jsdb fuzz_data0

export ASAN_OPTIONS="detect_leaks=1:halt_on_error=1:abort_on_error=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export QT_QPA_PLATFORM=offscreen

status=0
for kind in jsdb data0; do
    target="fuzz_$kind"
    work="$dir/work-$kind"
    artifacts="$dir/artifacts-$kind"
    rm -rf "$work"
    mkdir -p "$work" "$artifacts"
    log="$dir/$target.log"
    echo ">> $target: ${seconds} s (log $log)"
    # New inputs go to the work folder; the committed seeds and regressions are only read.
    if "$dir/fuzz/$target" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 \
        -print_final_stats=1 -dict="$root/fuzz/$kind.dict" -artifact_prefix="$artifacts/" \
        "$work" "$root/fuzz/corpus/$kind" "$root/fuzz/regressions/$kind" >"$log" 2>&1; then
        grep -E "^(Done|stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb))" "$log" || true
    else
        tail -n 80 "$log" >&2
        echo ">> $target FAILED: inputs in $artifacts" >&2
        ls -l "$artifacts" >&2 || true
        status=1
    fi
done
exit "$status"
