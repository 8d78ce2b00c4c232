#!/usr/bin/env bash
# Installs what a fresh machine lacks (Debian packages only).
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(libgtest-dev)
command -v python3 >/dev/null || need+=(python3)
# The libc++ build (tools/libcxx-test.sh): Clang 14, libc++, and GoogleTest's sources.
command -v clang++-14 >/dev/null || need+=(clang-14)
[ -f /usr/lib/llvm-14/include/c++/v1/vector ] || need+=(libc++-14-dev)
[ -f /usr/lib/llvm-14/lib/libc++abi.so ] || need+=(libc++abi-14-dev)
[ -d /usr/src/googletest/googletest ] || need+=(googletest)
# The WebAssembly runner (tools/wasm-check.sh): Emscripten and node.
command -v em++ >/dev/null || need+=(emscripten)
command -v node >/dev/null || need+=(nodejs)
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
