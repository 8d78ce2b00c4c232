#!/usr/bin/env bash
# Every snapshot of every frame must be byte-identical between builds (optimised, -O0,
# sanitizers, other compilers and platforms): float results may depend neither on the
# optimiser nor on the platform. Replays the sixteen playthroughs and the sixteen random play
# streams with each runner and names the build, the log and the first differing frame.
# Usage: tools/determinism.sh RUNNER RUNNER [RUNNER ...]
# A RUNNER is one argument and may carry an emulator prefix, for example
#   tools/determinism.sh build/tools/vantrel-run "wine build-win/tools/vantrel-run.exe"
# DETERMINISM_JOBS sets how many replays run at once (2).
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: $0 RUNNER RUNNER [RUNNER ...]" >&2; exit 2; }
streams=$(mktemp -d)
trap 'rm -rf "$streams"' EXIT
python3 replay/streams.py "$streams"
python3 replay/digest.py compare --streams "$streams" --jobs "${DETERMINISM_JOBS:-2}" "$@"
