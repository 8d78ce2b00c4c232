#!/usr/bin/env bash
# Installs the engine library of each build, stripped, into one addon folder as a game ships
# it, lists the folder and fails unless every library that vantrel.gdextension names is in it.
# Usage: tools/install-addon.sh PREFIX BUILD...   (the addon goes to PREFIX/addons/vantrel)
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -ge 2 ] || { echo "usage: $0 PREFIX BUILD..." >&2; exit 2; }
prefix=$1
shift
addon=$prefix/addons/vantrel
for build in "$@"; do
    cmake --install "$build" --component godot --prefix "$addon" --strip >/dev/null
done
(cd "$prefix" && find addons -type f | sort)
missing=0
for library in $(sed -n 's/^[a-z0-9_.]* = "\(bin\/[^"]*\)"$/\1/p' "$addon/vantrel.gdextension"); do
    [ -f "$addon/$library" ] || { echo "install: $library is named but missing" >&2; missing=1; }
done
exit $missing
