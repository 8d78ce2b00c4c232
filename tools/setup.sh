#!/usr/bin/env bash
# Installs what a fresh machine lacks (Debian packages only): the native build always, and
# for each target named what it needs besides.
#   windows  mingw-w64 and Wine          arm64  the aarch64 GCC and qemu
#   libcxx   Clang 14 and libc++         wasm   Emscripten and node
#   bench    Google Benchmark, RapidJSON and nlohmann-json for the benchmarks
# The cross and libc++ builds compile GoogleTest from Debian's sources.
# Usage: tools/setup.sh [windows] [arm64] [libcxx] [wasm] [bench]
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(libgtest-dev)
[ -f /usr/include/mpfr.h ] || need+=(libmpfr-dev)
command -v python3 >/dev/null || need+=(python3)
for target in "$@"; do
    case $target in
        windows)
            command -v x86_64-w64-mingw32-g++-posix >/dev/null || need+=(g++-mingw-w64-x86-64-posix)
            command -v wine >/dev/null || need+=(wine wine64)
            ;;
        arm64)
            command -v aarch64-linux-gnu-g++ >/dev/null || need+=(g++-aarch64-linux-gnu)
            command -v qemu-aarch64 >/dev/null || need+=(qemu-user)
            ;;
        libcxx)
            command -v clang++-14 >/dev/null || need+=(clang-14)
            [ -f /usr/lib/llvm-14/include/c++/v1/vector ] || need+=(libc++-14-dev)
            [ -f /usr/lib/llvm-14/lib/libc++abi.so ] || need+=(libc++abi-14-dev)
            ;;
        wasm)
            command -v em++ >/dev/null || need+=(emscripten)
            command -v node >/dev/null || need+=(nodejs)
            ;;
        bench)
            [ -f /usr/include/benchmark/benchmark.h ] || need+=(libbenchmark-dev)
            [ -f /usr/include/nlohmann/json.hpp ] || need+=(nlohmann-json3-dev)
            [ -f /usr/include/rapidjson/rapidjson.h ] || need+=(rapidjson-dev)
            continue
            ;;
        *) echo "setup: unknown target $target" >&2; exit 2 ;;
    esac
    [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
done
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
