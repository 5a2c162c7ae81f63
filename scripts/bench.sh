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
# The windows' timings, offscreen.
gui="$dir/bench/bench_gui"
if [ -x "$gui" ]; then
    echo ">> bench_gui" >&2
    "$gui" --benchmark_format=json --benchmark_out="$out/bench_gui.json" \
        --benchmark_out_format=json >/dev/null 2>"$out/bench_gui.log" \
        || echo ">> bench_gui failed (see its messages below)" >&2
else
    echo ">> bench_gui not built in $dir" >&2
fi
proc="$dir/bench/bench_process_j13"
if [ -x "$proc" ]; then
    echo ">> bench_process_j13" >&2
    "$proc" >"$out/bench_process_j13.txt" 2>"$out/bench_process_j13.log" \
        || echo ">> bench_process_j13 failed (see its messages below)" >&2
else
    echo ">> bench_process_j13 not built in $dir" >&2
fi

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

# The windows, each step pressed as a user does and ended when its window is painted.
rows += [
    ("Load Database, setup shown", "bench_gui", ["BM_gui_load_database"], 150.0, [], []),
    ("open 20x300 file, setup", "bench_gui", ["BM_gui_open_large"], 200.0, [], []),
    ("Run J-13, result shown", "bench_gui", ["BM_gui_run_j13/painted"], 10.0, [],
     [("before painting", "BM_gui_run_j13/unpainted")]),
    ("result viewer J-13", "bench_gui", ["BM_gui_result_viewer_j13"], 50.0, ["minerals"], []),
]

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
# The peak resident memory of a whole process running J-13 once ("key value" lines).
proc = {}
try:
    with open(os.path.join(out, "bench_process_j13.txt")) as f:
        for line in f:
            parts = line.split()
            if len(parts) == 2:
                proc[parts[0]] = float(parts[1])
except (OSError, ValueError):
    pass
print()
print("%-28s %12s %10s  %-6s %s" % ("figure", "measured MB", "target MB", "", "notes"))
print("-" * 84)
label, target = "peak memory, J-13 process", 16.0
if "vmhwm_MB" in proc:
    mb = proc["vmhwm_MB"]
    notes = ["%s %.2f" % (k, proc[k]) for k in
             ("maxrss_MB", "rss_app_MB", "rss_loaded_MB", "rss_file_loaded_MB",
              "rss_anon_loaded_MB", "heap_loaded_MB", "heap_held_loaded_MB")
             if k in proc]
    print("%-28s %12.2f %10.2f  %-6s %s" % (label, mb, target, "ok" if mb <= target else "BIG",
                                            ", ".join(notes)))
else:
    print("%-28s %12s %10.2f  %-6s %s" % (label, "-", target, "n/a", "not run"))
    failed = True
print("-" * 84)
print("database image memory target: 60 MB (rss_growth_MB above)")
sys.exit(1 if failed else 0)
PY
for prog in bench_dbparse bench_thermodb bench_jsdb bench_engine bench_process_j13; do
    if [ -s "$out/$prog.log" ] && grep -qi "error" "$out/$prog.log"; then
        echo ">> messages of $prog:" >&2
        tail -n 20 "$out/$prog.log" >&2
    fi
done

if [ -s "$out/bench_gui.log" ] && grep -qi "error" "$out/bench_gui.log"; then
    echo ">> messages of bench_gui:" >&2
    tail -n 20 "$out/bench_gui.log" >&2
fi

waters="${VEK7_SWEEP_WATERS:-10000}"
if [ "$waters" != "0" ] && [ -x "$dir/bench/bench_sweep" ]; then
    echo
    echo ">> sweep over $waters random waters"
    VEK7_SWEEP_WATERS="$waters" "$dir/bench/bench_sweep" 2>/dev/null
fi
exit "$status"
