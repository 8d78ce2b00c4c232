#!/usr/bin/env bash
# Rewrites the golden snapshot digests (replay/golden) of every playthrough and every random
# play stream with the optimised build, and prints which changed and from which frame. Run it
# after a change of behaviour on purpose, and say in the commit which digests changed and why.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$build" -j2 --target vantrel-run random-streams >/dev/null
python3 replay/digest.py record-all --streams "$build/replay/streams" -- "$build/tools/vantrel-run"
