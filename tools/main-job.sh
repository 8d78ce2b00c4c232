#!/usr/bin/env bash
# Builds the project, then replays the sixteen checked-in playthroughs through the headless
# runner and prints a table: room, title, loops recorded, seconds of play, won.
set -euo pipefail
cd "$(dirname "$0")/.."
exec bash tools/playthroughs.sh
