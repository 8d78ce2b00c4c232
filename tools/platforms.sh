#!/usr/bin/env bash
# The platforms a game ships to besides this machine's: windows.x86_64 under Wine and
# linux.arm64 under qemu, each built and tested whole; the three libraries installed into
# one addon; every frame of every playthrough and random stream compared with build/'s by
# the determinism gate. Expects tools/test.sh to have built the Linux tree in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/test-target.sh windows
bash tools/test-target.sh arm64

echo "== one addon folder for three platforms"
bash tools/install-addon.sh build-addon build build-win build-arm64

echo "== every frame as on Linux"
source tools/wine-env.sh build-win
bash tools/determinism.sh build/tools/vantrel-run "wine build-win/tools/vantrel-run.exe" \
    "qemu-aarch64 -L /usr/aarch64-linux-gnu build-arm64/tools/vantrel-run"
