#!/usr/bin/env bash
# Installs what the replay viewer test needs (Debian Chromium, playwright-core) and runs it.
set -euo pipefail
cd "$(dirname "$0")"

if [ ! -x /usr/bin/chromium ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq >/dev/null
  apt-get install -y -qq chromium chromium-driver >/dev/null
fi

if ! cmp -s package-lock.json node_modules/.installed-lock.json 2>/dev/null; then
  PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error >/dev/null
  cp package-lock.json node_modules/.installed-lock.json
fi

exec node --test viewer.test.mjs
