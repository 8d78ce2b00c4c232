#!/usr/bin/env bash
# The frame and reader bars as ratios to RapidJSON, all measured in one run of vantrel-bench
# (repetitions interleaved at random), so that the load of a shared machine cancels out.
# Usage: bench/ratios.sh [REPETITIONS] [BENCH_BINARY]
set -euo pipefail
cd "$(dirname "$0")/.."
repetitions=${1:-5}
bench=${2:-}
if [ -z "$bench" ]; then
    # The default: this tree's benchmark, brought up to date first.
    bash tools/setup.sh bench
    [ -f build-bench/CMakeCache.txt ] ||
        cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DVANTREL_BENCH=ON -DVANTREL_TESTS=OFF >/dev/null
    cmake --build build-bench -j2 --target vantrel-bench >/dev/null
    bench=build-bench/bench/vantrel-bench
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$bench" \
    --benchmark_filter='BM_Frame/room:1[234]/echoes:(8|64)/holding:1$|BM_WriteSnapshot_RapidJSON|BM_ReadInput_(Own|RapidJSON)|BM_RecordBytesPerTick' \
    --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.3 --benchmark_format=json --benchmark_out="$out" >/dev/null 2>&1
python3 - "$out" "$repetitions" <<'PY'
import json, statistics, sys
runs = json.load(open(sys.argv[1]))["benchmarks"]
cpu = {}
counters = {}
for run in runs:
    if run.get("run_type") != "iteration":
        continue
    unit = {"ns": 1e-3, "us": 1.0, "ms": 1e3}[run["time_unit"]]
    cpu.setdefault(run["run_name"], []).append(run["cpu_time"] * unit)
    counters[run["run_name"].split("/")[0]] = run
median = {name: statistics.median(times) for name, times in cpu.items()}
rapid = median["BM_WriteSnapshot_RapidJSON"]
print(f"medians of {sys.argv[2]} interleaved repetitions, CPU time; "
      f"RapidJSON writes the heaviest snapshot in {rapid:.2f} us")
failed = 0
def check(label, value, bar, detail):
    global failed
    ok = value <= bar
    failed += not ok
    print(f"{'ok  ' if ok else 'OVER'} {label}: {value:.3f} (bar {bar}) {detail}")
for echoes, bar in ((8, 0.5), (64, 1.0)):
    frames = {room: median[f"BM_Frame/room:{room}/echoes:{echoes}/holding:1"] for room in (12, 13, 14)}
    worst = max(frames, key=frames.get)
    detail = ", ".join(f"room {r} {t:.2f} us" for r, t in frames.items())
    check(f"worst frame, rooms 12-14, {echoes} echoes, holding / RapidJSON write",
          frames[worst] / rapid, bar, f"[{detail}]")
names = ["{}", "typical frame", "all thirteen keys", "array form"]
for text in range(4):
    ours = median[f"BM_ReadInput_Own/text:{text}"]
    theirs = median[f"BM_ReadInput_RapidJSON/text:{text}"]
    check(f"reader / RapidJSON's, {names[text]}", ours / theirs, 1.0,
          f"[{ours * 1e3:.0f} ns vs {theirs * 1e3:.0f} ns]")
record = counters["BM_RecordBytesPerTick"]
check("bytes of record per recorded tick (poses)", record["bytes_per_frame"], 24,
      f"[{record['bytes_per_tick']:.1f} with the header of a two-second record]")
sys.exit(1 if failed else 0)
PY
