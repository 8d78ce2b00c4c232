#!/usr/bin/env bash
# Builds the headless runner, replays the sixteen checked-in playthroughs and prints a table:
# room, title, loops recorded, seconds of play, won.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vantrel-run >/dev/null
exec python3 - "$build/tools/vantrel-run" playthroughs <<'PY'
import json, subprocess, sys

runner, logs = sys.argv[1], sys.argv[2]
rows, won_all = [], True
for room in range(16):
    log = "%s/room-%02d.jsonl" % (logs, room)
    print("[%2d/16] room %2d: replaying %s ... " % (room + 1, room, log), end="", flush=True)
    try:
        with open(log, encoding="utf-8") as f:
            lines = [l for l in f.read().split("\n") if l.strip()]
    except FileNotFoundError:
        rows.append((room, "-", "-", "-", "no log"))
        won_all = False
        print("no log", flush=True)
        continue
    seconds = sum(float(json.loads(l).get("dt", 0.0)) for l in lines)
    out = subprocess.run([runner, "--room", str(room), "--final", log],
                         stdout=subprocess.PIPE, check=True).stdout.decode("utf-8")
    snap = json.loads(out.strip().split("\n")[-1])
    won_all &= snap["won"] is True
    rows.append((room, snap["title"], str(len(snap["echoes"])), "%.1f" % seconds,
                 "yes" if snap["won"] else "NO"))
    print("won" if snap["won"] else "NOT WON", flush=True)

head = ("room", "title", "loops recorded", "seconds of play", "won")
width = [max(len(str(r[i])) for r in rows + [head]) for i in range(5)]
print()
for r in [head] + rows:
    print("  ".join(str(v).rjust(width[i]) if i in (0, 2, 3) else str(v).ljust(width[i])
                    for i, v in enumerate(r)).rstrip())
print()
print("all sixteen rooms won" if won_all else "NOT every room is won")
sys.exit(0 if won_all else 1)
PY
