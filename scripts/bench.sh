#!/usr/bin/env bash
# Runs the benchmark programs of a Release build and prints one table of the
# measured figures beside their targets, then the sweep over random waters.
#   bash scripts/bench.sh [build folder]      (default build/release)
#   VEK7_SWEEP_WATERS   waters of the sweep (default 10000; 0 skips it)
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
dir="${1:-$root/build/release}"
out="$(mktemp -d)"
trap 'rm -rf "$out"' EXIT
export QT_QPA_PLATFORM=offscreen QT_LOGGING_RULES="*.debug=false"

for prog in bench_dbparse bench_thermodb bench_jsdb bench_engine; do
    exe="$dir/bench/$prog"
    if [ -x "$exe" ]; then
        echo ">> $prog" >&2
        "$exe" --benchmark_format=json --benchmark_out="$out/$prog.json" \
            --benchmark_out_format=json >/dev/null 2>"$out/$prog.log" \
            || echo ">> $prog failed (see its messages below)" >&2
    else
        echo ">> $prog not built in $dir" >&2
    fi
done

status=0
python3 - "$out" <<'PY' || status=$?
import json, os, sys

out = sys.argv[1]
# figure, program, benchmark names (the first present is measured), target in ms,
# counters worth showing, related benchmarks shown as notes
rows = [
    ("data0 parse, fit and write", "bench_dbparse", ["BM_parse_fit_write"], 120.0, [], []),
    ("database load", "bench_thermodb", ["BM_LoadFullDatabase"], 11.0,
     ["rss_growth_MB", "image_heap_MB"], []),
    (".jsdb read", "bench_jsdb", ["BM_jsdb_read"], 20.0, [], []),
    (".jsdb write", "bench_jsdb", ["BM_jsdb_write/disk", "BM_jsdb_write"], 20.0, [],
     [("in memory", "BM_jsdb_write/memory")]),
    ("speciation J-13", "bench_engine", ["BM_J13_reduced"], 0.3, ["newton_steps", "species"],
     [("first run of the system", "BM_J13_first_run"), ("full solve", "BM_J13_full")]),
    ("speciation seawater", "bench_engine", ["BM_seawater_reduced"], 0.08,
     ["newton_steps", "species"],
     [("first run of the system", "BM_seawater_first_run"), ("full solve", "BM_seawater_full")]),
]
to_ms = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

def load(prog):
    path = os.path.join(out, prog + ".json")
    try:
        with open(path) as f:
            return {b["name"]: b for b in json.load(f).get("benchmarks", [])}
    except (OSError, ValueError):
        return {}

def millis(b):
    return b["real_time"] * to_ms.get(b.get("time_unit", "ns"), 1e-6)

results = {}
print()
print("%-28s %12s %10s  %-6s %s" % ("figure", "measured ms", "target ms", "", "notes"))
print("-" * 84)
failed = False
for label, prog, names, target, extras, related in rows:
    runs = results.setdefault(prog, load(prog))
    b = next((runs[n] for n in names if n in runs), None)
    if b is None or b.get("error_occurred"):
        why = b.get("error_message", "") if b else "not run"
        print("%-28s %12s %10.2f  %-6s %s" % (label, "-", target, "n/a", why))
        failed = True
        continue
    ms = millis(b)
    verdict = "ok" if ms <= target else "SLOW"
    notes = ["%s %g" % (k, round(b[k], 2)) for k in extras if k in b]
    notes += ["%s %.3f ms" % (text, millis(runs[n])) for text, n in related
              if n in runs and not runs[n].get("error_occurred")]
    print("%-28s %12.3f %10.2f  %-6s %s" % (label, ms, target, verdict, ", ".join(notes)))
print("-" * 84)
print("database image memory target: 60 MB (rss_growth_MB above)")
sys.exit(1 if failed else 0)
PY
for prog in bench_dbparse bench_thermodb bench_jsdb bench_engine; do
    if [ -s "$out/$prog.log" ] && grep -qi "error" "$out/$prog.log"; then
        echo ">> messages of $prog:" >&2
        tail -n 20 "$out/$prog.log" >&2
    fi
done

waters="${VEK7_SWEEP_WATERS:-10000}"
if [ "$waters" != "0" ] && [ -x "$dir/bench/bench_sweep" ]; then
    echo
    echo ">> sweep over $waters random waters"
    VEK7_SWEEP_WATERS="$waters" "$dir/bench/bench_sweep" 2>/dev/null
fi
exit "$status"
