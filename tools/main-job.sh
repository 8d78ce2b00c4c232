#!/usr/bin/env bash
# Builds the project and prints the room catalogue.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j2 --target vantrel-rooms
./build/tools/vantrel-rooms
