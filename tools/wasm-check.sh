#!/usr/bin/env bash
# Builds the simulation library and the runner as WebAssembly (Debian's Emscripten) and
# checks that under node the runner does exactly what the native one does where the
# determinism gate does not look: reading standard input, rejected lines, the other options,
# bad arguments and a missing file, with their error output and exit status. (The gate
# compares every frame of the playthroughs and random streams, node build-wasm/tools/vantrel-run.js
# among the runners.)
# Usage: tools/wasm-check.sh [NATIVE_RUNNER]   (default build/tools/vantrel-run)
set -uo pipefail
cd "$(dirname "$0")/.."
native=${1:-build/tools/vantrel-run}
bash tools/setup.sh wasm || exit 2
[ -x "$native" ] || { echo "wasm-check: no native runner at $native" >&2; exit 2; }
# Debian's Emscripten runs node scripts that need Debian's node modules (acorn), which a
# node from elsewhere does not search by itself.
export NODE_PATH="${NODE_PATH:+$NODE_PATH:}/usr/share/nodejs"
emcmake cmake -S . -B build-wasm -DCMAKE_BUILD_TYPE=Release -DVANTREL_TESTS=OFF >/dev/null || exit 2
cmake --build build-wasm -j2 --target vantrel-run || exit 2
wasm=(node build-wasm/tools/vantrel-run.js)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
same=0
# run_both NAME INPUT ARGS...: both runners with the same arguments and standard input.
run_both() {
    local name=$1 input=$2
    shift 2
    local native_status=0 wasm_status=0
    "$native" "$@" <"$input" >"$work/native.out" 2>"$work/native.err" || native_status=$?
    "${wasm[@]}" "$@" <"$input" >"$work/wasm.out" 2>"$work/wasm.err" || wasm_status=$?
    if cmp -s "$work/native.out" "$work/wasm.out" && cmp -s "$work/native.err" "$work/wasm.err" &&
        [ "$native_status" -eq "$wasm_status" ]; then
        same=$((same + 1))
    else
        echo "wasm-check: $name differs (exit $native_status native, $wasm_status wasm)" >&2
        status=1
    fi
}

run_both "room 5 from standard input" playthroughs/room-05.jsonl --room 5
run_both "room 9 from standard input, -" playthroughs/room-09.jsonl --room 9 --final -
printf '{"dt":0.016}\n{"dt":\n[1,2,3,4,5,true]\r\nnot json\n' >"$work/mixed.jsonl"
run_both "rejected lines" "$work/mixed.jsonl" --room 2
run_both "--version" /dev/null --version
run_both "--rooms" /dev/null --rooms
run_both "bad arguments" /dev/null --room x
run_both "missing file" /dev/null "$work/no-such-file"
echo "wasm-check: $same runs identical under node and natively"
exit $status
