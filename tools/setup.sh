#!/usr/bin/env bash
# Installs what a fresh machine lacks (Debian packages only): the native build always, and
# the cross compilers, their emulators and GoogleTest's sources for the targets named.
# Usage: tools/setup.sh [windows] [arm64]
set -euo pipefail
need=()
command -v cmake >/dev/null || need+=(cmake)
command -v g++ >/dev/null || need+=(g++)
[ -f /usr/lib/x86_64-linux-gnu/libgtest.a ] || need+=(libgtest-dev)
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
        *) echo "setup: unknown target $target" >&2; exit 2 ;;
    esac
    [ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
done
if [ ${#need[@]} -gt 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi
