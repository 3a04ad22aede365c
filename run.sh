#!/usr/bin/env bash
# Sets up, builds, creates the demo market in demo-market/ when absent, and runs
# the main job on it: the window when a display is available, otherwise a
# summary of the market and a picture of the window in demo-market/screen.png.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh build
if [ ! -f demo-market/MKDAT/MKCODE.DAT ]; then
  build/src/cli/bkqy-cli demo --data demo-market
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/src/app/bkqy --data demo-market
fi
build/src/cli/bkqy-cli summary --data demo-market
build/src/cli/bkqy-cli shot --data demo-market --png demo-market/screen.png >/dev/null
echo "No display: the window as it starts is in demo-market/screen.png"
