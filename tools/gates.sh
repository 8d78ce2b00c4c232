#!/usr/bin/env bash
# The gates beyond the plain test run: the whole suite under AddressSanitizer and UBSan and
# built with libc++, byte-identical snapshots of every frame of the playthroughs and random
# play streams across GCC optimised, GCC -O0, Clang optimised, libc++ and sanitizer builds,
# the WebAssembly runner under node against the native one, a bounded fuzz run, and the
# replay viewer in headless Chromium. Expects tools/test.sh to have built the optimised tree
# in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVANTREL_SANITIZE=ON >/dev/null
cmake --build build-asan -j2
# The golden digests are left to the determinism gate below: it replays the same logs with
# this build and compares every frame with the optimised build, whose digests CTest checked.
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-asan --output-on-failure -j2 -E '^digest[.]'

echo "== the whole suite with Clang and libc++"
bash tools/test-target.sh libcxx

echo "== the runners of the determinism gate"
cmake -S . -B build-o0 -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS=-O0 -DVANTREL_TESTS=OFF >/dev/null
cmake --build build-o0 -j2 --target vantrel-run
cmake -S . -B build-clang -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++-14 >/dev/null
cmake --build build-clang -j2 --target vantrel-run

echo "== the WebAssembly runner under node, byte for byte against the native one"
bash tools/wasm-check.sh build/tools/vantrel-run

echo "== every frame across builds: GCC optimised and -O0, Clang, libc++, sanitizers, WebAssembly"
bash tools/determinism.sh build/tools/vantrel-run build-o0/tools/vantrel-run \
    build-clang/tools/vantrel-run build-libcxx/tools/vantrel-run build-asan/tools/vantrel-run \
    "node build-wasm/tools/vantrel-run.js"

echo "== fuzz smoke"
bash tools/fuzz-smoke.sh

echo "== replay viewer in headless Chromium"
bash viewer/tests/run.sh
