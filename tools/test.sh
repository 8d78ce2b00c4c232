#!/usr/bin/env bash
# Builds everything and runs every test (this machine's target, GCC, in build/).
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash tools/test-target.sh linux
