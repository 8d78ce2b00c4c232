#!/usr/bin/env bash
# Builds the libraries, the runner and every test with Clang 14 and LLVM's libc++ (the
# standard library of the macOS, iOS, Android and web toolchains; GoogleTest is compiled
# from source with it) and runs the whole suite through CTest.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-libcxx -DCMAKE_TOOLCHAIN_FILE=cmake/toolchains/clang-libcxx.cmake \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build-libcxx -j2
ctest --test-dir build-libcxx --output-on-failure -j2
