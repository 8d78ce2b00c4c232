#!/usr/bin/env bash
# The final snapshots of the sixteen playthroughs must be byte-identical between builds
# (optimised, -O0, sanitizers): float results may not depend on the optimiser.
# Usage: tools/determinism.sh RUNNER RUNNER [RUNNER ...]
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: $0 RUNNER RUNNER [RUNNER ...]" >&2; exit 2; }
reference=$1
status=0
for room in $(seq 0 15); do
    log=$(printf 'playthroughs/room-%02d.jsonl' "$room")
    expected=$("$reference" --room "$room" --final "$log" | sha256sum)
    for runner in "${@:2}"; do
        actual=$("$runner" --room "$room" --final "$log" | sha256sum)
        if [ "$actual" != "$expected" ]; then
            echo "room $room: $runner differs from $reference" >&2
            status=1
        fi
    done
done
[ $status -eq 0 ] && echo "determinism: 16 final snapshots identical across $# builds"
exit $status
