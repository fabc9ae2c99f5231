#!/usr/bin/env bash
# Installs what is missing, builds, and starts Vandrel. Without a display it
# starts the program on a virtual one, saves a screenshot of its window, says
# where, and closes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/vandrel
fi

echo "No display found: starting Vandrel on a virtual display (Xvfb) and taking a screenshot."
shot="$PWD/out/vandrel-screenshot.png"
mkdir -p out
exec tests/support/on-xvfb.sh 1024x768 -- python3 scripts/screenshot.py build/vandrel "$shot"
