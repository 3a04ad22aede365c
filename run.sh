#!/usr/bin/env bash
# Sets up, builds, creates the demo market in demo-market/ when absent, and runs
# the main job on it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
scripts/build.sh build
if [ ! -f demo-market/MKDAT/MKCODE.DAT ]; then
  build/src/cli/bkqy-cli demo --data demo-market
fi
build/src/cli/bkqy-cli summary --data demo-market
