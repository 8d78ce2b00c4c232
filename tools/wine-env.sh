# Sourced: makes Wine ready for the Windows build in $1 without a question or a window.
# A prefix of its own beside the build, made on first use without the Mono and Gecko
# prompts, and one server kept until the sourcing script exits: a fresh server for each
# test program costs seconds.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEPREFIX=${WINEPREFIX:-$PWD/$1/wine}
mkdir -p "$WINEPREFIX"
# A server that is still winding down refuses a second one: wait for it to go first.
wineserver -p 2>/dev/null || { wineserver -w; wineserver -p; }
trap 'wineserver -k 2>/dev/null || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || wineboot -i >/dev/null 2>&1
