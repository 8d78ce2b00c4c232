#!/usr/bin/env bash
# Builds one target and runs its whole test suite through CTest, under the target's emulator
# when it is not this machine, and prints what each stage cost.
#   linux    this machine, GCC (build/)
#   clang    this machine, Clang 14 (build-clang/)
#   libcxx   this machine, Clang 14 with LLVM's libc++ (build-libcxx/)
#   windows  windows.x86_64 with mingw-w64, tests under Wine (build-win/)
#   arm64    linux.arm64 with the aarch64 GCC, tests under qemu (build-arm64/)
# Usage: tools/test-target.sh linux|clang|libcxx|windows|arm64
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:-}
toolchains=cmake/toolchains
case $target in
    linux) build=build; configure=() ;;
    clang) build=build-clang; configure=(-DCMAKE_CXX_COMPILER=clang++-14) ;;
    libcxx) build=build-libcxx; configure=(-DCMAKE_TOOLCHAIN_FILE=$toolchains/clang-libcxx.cmake) ;;
    windows) build=build-win; configure=(-DCMAKE_TOOLCHAIN_FILE=$toolchains/windows-x86_64-mingw.cmake) ;;
    arm64) build=build-arm64; configure=(-DCMAKE_TOOLCHAIN_FILE=$toolchains/linux-arm64-gnu.cmake) ;;
    *) echo "usage: $0 linux|clang|libcxx|windows|arm64" >&2; exit 2 ;;
esac
case $target in
    windows | arm64 | libcxx) bash tools/setup.sh "$target" ;;
    clang) bash tools/setup.sh libcxx ;;
    *) bash tools/setup.sh ;;
esac

if [ "$target" = windows ]; then
    started=$(date +%s)
    source tools/wine-env.sh "$build"
    echo "$target: wine ready in $(( $(date +%s) - started )) s"
fi

started=$(date +%s)
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release "${configure[@]}" >/dev/null
cmake --build "$build" -j2
built=$(date +%s)
ctest --test-dir "$build" --output-on-failure -j2
echo "$target: build $(( built - started )) s, tests $(( $(date +%s) - built )) s"
