#!/usr/bin/env bash
# Turns an input log (one Input JSON per line) into a run file for the replay viewer
# (one snapshot per line), using the headless runner vantrel-run.
#
#   viewer/record.sh [--room N] INPUT_LOG [RUN_FILE]
#
# RUN_FILE defaults to standard output. The runner is taken from $VANTREL_RUN, else from
# the build directory, and is built there first when it is missing.
set -euo pipefail

usage() {
  echo "usage: $0 [--room N] INPUT_LOG [RUN_FILE]" >&2
  exit 2
}

room=()
if [ "${1:-}" = "--room" ]; then
  [ $# -ge 2 ] || usage
  room=(--room "$2")
  shift 2
fi
[ $# -ge 1 ] && [ $# -le 2 ] || usage
input=$1
output=${2:-}
[ -f "$input" ] || { echo "$0: no input log $input" >&2; exit 1; }

repo=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$repo/build}
runner=${VANTREL_RUN:-}
if [ -z "$runner" ]; then
  runner=$(find "$build" -type f -name vantrel-run -perm -u+x 2>/dev/null | head -n 1 || true)
fi
if [ -z "$runner" ]; then
  echo "$0: building vantrel-run in $build" >&2
  cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target vantrel-run >/dev/null
  runner=$(find "$build" -type f -name vantrel-run -perm -u+x | head -n 1)
fi
[ -n "$runner" ] || { echo "$0: vantrel-run not found" >&2; exit 1; }

if [ -n "$output" ]; then
  "$runner" "${room[@]}" "$input" >"$output"
  inputs=$(grep -c '' "$input" || true)
  frames=$(grep -c '' "$output" || true)
  echo "$0: $inputs inputs -> $frames snapshots in $output" >&2
else
  "$runner" "${room[@]}" "$input"
fi
